#include "StreamDamage.h"

#include "ToolbarFiles.h"

#include <iterator>

std::vector<CompoundContent> DamagedFileTemplates()
{
    std::vector<CompoundContent> templates;
    RecordValues values;
    values.name = "Template";
    values.isProtected = 1;
    values.passwordRequired = 1;
    values.password = "secret";
    templates.push_back(FileWith(values, 0x23000, 6));
    templates.push_back(FileWith(values, 0x21000, 4));
    templates.push_back(FileWith(values, 0x11000, 5));
    templates.push_back(FileWith(values, 0x10000, 3));
    return templates;
}

namespace {

std::vector<uint8_t>* PickStream(CompoundContent& content, Random& random)
{
    std::vector<std::vector<uint8_t>*> streams;
    for (auto& entry : content.streams)
        streams.push_back(&entry.second);
    for (auto& storage : content.storages) {
        for (auto& entry : storage.second)
            streams.push_back(&entry.second);
    }
    return streams.empty() ? nullptr : streams[random.Below(static_cast<uint32_t>(streams.size()))];
}

} // namespace

void DamageStreams(CompoundContent& content, Random& random)
{
    std::vector<uint8_t>* stream = PickStream(content, random);
    switch (random.Below(7)) {
    case 0:   // cut short
        if (stream)
            stream->resize(random.Below(static_cast<uint32_t>(stream->size() + 1)));
        break;
    case 1:   // a few bytes flipped
        if (stream && !stream->empty()) {
            for (uint32_t flips = 1 + random.Below(4); flips > 0; --flips)
                (*stream)[random.Below(static_cast<uint32_t>(stream->size()))] ^= static_cast<uint8_t>(1 + random.Below(255));
        }
        break;
    case 2:   // a lying 32-bit value (counts, kinds, sizes)
        if (stream && stream->size() >= 4) {
            const size_t at = random.Below(static_cast<uint32_t>(stream->size() - 3));
            const uint32_t lies[] = {0xFFFFFFFF, 0x7FFFFFFF, 300, 257, 256, 0, 4, 0x80000000u, random.Next()};
            const uint32_t lie = lies[random.Below(sizeof lies / sizeof lies[0])];
            for (int i = 0; i < 4; ++i)
                (*stream)[at + i] = static_cast<uint8_t>(lie >> (8 * i));
        }
        break;
    case 3:   // a lying 16-bit count (texts, item lists)
        if (stream && stream->size() >= 2) {
            const size_t at = random.Below(static_cast<uint32_t>(stream->size() - 1));
            const uint16_t lie = random.Below(2) ? 0xFFFF : static_cast<uint16_t>(random.Next());
            (*stream)[at] = static_cast<uint8_t>(lie);
            (*stream)[at + 1] = static_cast<uint8_t>(lie >> 8);
        }
        break;
    case 4:   // an element missing
        if (!content.storages.empty() && random.Below(2)) {
            auto it = content.storages.begin();
            std::advance(it, random.Below(static_cast<uint32_t>(content.storages.size())));
            content.storages.erase(it);
        } else if (!content.streams.empty()) {
            auto it = content.streams.begin();
            std::advance(it, random.Below(static_cast<uint32_t>(content.streams.size())));
            content.streams.erase(it);
        }
        break;
    case 5:   // garbage appended
        if (stream) {
            for (uint32_t extra = random.Below(64); extra > 0; --extra)
                stream->push_back(static_cast<uint8_t>(random.Next()));
        }
        break;
    default:  // emptied
        if (stream)
            stream->clear();
        break;
    }
}
