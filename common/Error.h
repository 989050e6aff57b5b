// The one exception of the programs: raised by the text class (and the item-id
// splitter) for exhausted memory, failed conversions and invalid addresses.
#pragma once

#include <exception>

class CError : public std::exception
{
public:
    explicit CError(const char* text) noexcept : m_text(text) {}
    const char* what() const noexcept override { return m_text; }
    const char* Text() const noexcept { return m_text; }

private:
    const char* m_text;   // always a literal: the error texts are fixed
};
