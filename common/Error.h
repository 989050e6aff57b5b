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

// Runs a handler where no exception may pass: a window, dialog or page
// procedure returns into the system's code, which cannot unwind C++ frames.
// Any exception (CError, std::bad_alloc from the standard library, anything
// else) is logged and the handler counts as failed.  True when it ran through.
bool LogEscapedException(const char* text);   // logs and returns false

template <class Handler>
bool RunWithoutEscape(Handler&& handler) noexcept
{
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        return LogEscapedException(error.what());
    } catch (...) {
        return LogEscapedException("unknown exception");
    }
}
