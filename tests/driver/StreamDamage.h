// Damage to the streams of a toolbar file, made element by element: cut
// short, bytes flipped, lying counts and sizes, elements missing, garbage
// appended.  (Damage to the container itself is CompoundDamage's.)
#pragma once

#include "CompoundFile.h"
#include "Random.h"

#include <vector>

// Good toolbar files of the versions the reader knows, each with buttons and
// a password.
std::vector<CompoundContent> DamagedFileTemplates();

// One damage of a kind chosen by the generator.
void DamageStreams(CompoundContent& content, Random& random);
