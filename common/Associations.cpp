#include "Associations.h"

#include "AnsiPath.h"
#include "ItemId.h"
#include "RegistryKey.h"
#include "ShellFolder.h"
#include "TraceLog.h"
#include "../resources/common/common_res.h"

namespace {

// What GetAssociatedExe reports to the trace, in the order of its checks.
enum AssociatedExeResult : unsigned long {
    kProgramFound = 1,
    kNoExtension = 2,
    kNoFileType = 3,
    kNoOpenCommand = 4,
    kNoProgram = 5,   // the open command names no program that exists
};

} // namespace

BOOL GetAssociatedExe(const CText& document, CText& program)
{
    // Result codes: 1 found; 2 no extension; 3 the extension names no class;
    // 4 the class has no open command; 5 the command names no existing file.
    CTraceMethod trace(TR_SHARED, TR_GET_ASSOCIATED_EXE);
    if (TraceOn())
        LogStringIdText(TR_DOCUMENT, document.c_str());
    program = "";

    // A dot inside a folder name is no extension: it would turn the rest of
    // the path into a registry subkey of its own.
    const CText extension = TypeExtensionOf(document.c_str());
    if (extension.IsEmpty() || document.ReverseFind('.') <= 0) {
        trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kNoExtension);
        return FALSE;
    }

    CRegistryKey key;
    CText className;
    if (!key.OpenKey(HKEY_CLASSES_ROOT, extension, CRegistryKey::kRead) || !key.GetStringValue("", className)
        || className.IsEmpty()) {
        trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kNoFileType);
        return FALSE;
    }
    className += "\\shell\\open\\command";
    if (!key.OpenKey(HKEY_CLASSES_ROOT, className, CRegistryKey::kRead) || !key.GetStringValue("", program)
        || program.IsEmpty()) {
        program = "";
        trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kNoOpenCommand);
        return FALSE;
    }

    if (*program.At(0) == '"') {
        program.Right(program.Length() - 1);
        const int closing = program.Find('"');
        if (closing >= 0) {
            program.Left(closing);
            if (!program.IsEmpty() && program.ExpandEnvironment() && !program.IsEmpty()) {
                trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kProgramFound);
                return TRUE;
            }
            program = "";
            trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kNoProgram);
            return FALSE;
        }
    }

    // An unquoted command: the program path may itself hold blanks, so the
    // longest leading part that names an existing file is the program.
    if (program.ExpandEnvironment()) {
        while (!program.IsEmpty()) {
            const DWORD attributes = GetFileAttributesA(program.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kProgramFound);
                return TRUE;
            }
            const int blank = program.ReverseFind(' ');
            if (blank > 0)
                program.Left(blank);
            else
                program = "";
        }
    }
    program = "";
    trace.Result(TR_GET_ASSOCIATED_EXE_RESULT, kNoProgram);
    return FALSE;
}

void GetDefaultFolder(CText& folder)
{
    CTraceMethod trace(TR_SHARED, TR_GET_DEFAULT_FOLDER);
    folder = "";
    CItemId personal(CSIDL_PERSONAL);
    if (!personal.IsDesktop()) {
        CShellFolder desktop;
        if (desktop.IsValid())
            desktop.GetDisplayName(personal, folder);
    }
    if (folder.IsEmpty())
        folder = "C:\\";
    if (TraceOn())
        LogStringIdText(TR_FOLDER, folder.c_str());
}
