#include "ToolbarFiles.h"

#include <cwchar>

std::vector<uint8_t> FullRecord(const RecordValues& v, uint32_t version)
{
    RecordBytes r;
    r.Text(v.name).U32(v.position).U32(v.docked).U32(v.corner).U32(v.orientation).U8(v.perLine).U32(v.alwaysOnTop)
        .U32(v.hidden).U32(v.count);
    if (version > 0x11000) {
        r.U32(v.useGradient).U32(v.startIsSystem).U32(v.endIsSystem).U32(v.startColour).U32(v.endColour)
            .U32(v.buttonSize).U16(v.border).U32(v.showDescription).U32(v.showButtonBackground)
            .U32(v.showMenuButtons).U32(v.autohide);
    }
    if (version > 0x21000)
        r.U32(v.isProtected).U32(v.passwordRequired).Text(v.password).U32(v.level).U32(v.quickUnlock);
    return r.Bytes();
}

std::vector<uint8_t> Version(uint32_t version)
{
    return RecordBytes().U32(version).Bytes();
}

CompoundContent FileWith(const RecordValues& values, uint32_t version, int spaces)
{
    CompoundContent content;
    if (version >= 0x11000)
        content.streams[L"VERSION"] = Version(version);
    RecordValues stored = values;
    if (spaces > 0 && stored.count == 0)
        stored.count = static_cast<uint32_t>(spaces);
    content.streams[L"TOOLBAR"] = FullRecord(stored, version);
    for (int i = 0; i < spaces; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"BUTTON%03d", i);
        if (version > 0x11000)
            content.storages[name][L"DATA"] = RecordBytes().U32(1).Bytes();
        else
            content.streams[name] = RecordBytes().U32(1).Bytes();
    }
    return content;
}
