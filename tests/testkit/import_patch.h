// Replaces, while it lives, the entry of one imported function in this
// program's import address table, through which the program's own code
// (mfpsm_lib linked in) calls it; the replacement calls Original() on. A
// test watches the calls the product makes into a real system DLL this way
// (the real spooler, where no stand-in keeps a record).
#pragma once

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the program imports no such function.
    bool Patched() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
