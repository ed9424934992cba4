// A change is acknowledged only once its journal entry has been flushed to disk. A killed process
// cannot show this (its written bytes stay in the system's cache), so this program's import of
// FlushFileBuffers is pointed at a recorder that notes which file was flushed at which size.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/handles.h"
#include "services/store/quota_store.h"
#include "temp_folder.h"

namespace {

using FlushFunction = BOOL(WINAPI*)(HANDLE);

struct FileState {
    DWORD volume = 0, indexHigh = 0, indexLow = 0;
    uint64_t size = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    GetFileInformationByHandle(file, &info);
    GetFileSizeEx(file, &size);
    return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
            uint64_t(size.QuadPart)};
}

FlushFunction g_realFlush = nullptr;
std::vector<FileState> g_flushed;

BOOL WINAPI RecordingFlush(HANDLE file) {
    g_flushed.push_back(StateOf(file));
    return g_realFlush(file);
}

// Points this program's import of kernel32's `function` at `replacement`; returns the entry's
// previous value, or nullptr when the program does not import it.
void* ReplaceImport(const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        if (_stricmp(reinterpret_cast<char*>(base + dll->Name), "kernel32.dll") != 0)
            continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* address = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++address) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&address->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* previous = reinterpret_cast<void*>(address->u1.Function);
            address->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&address->u1.Function, sizeof(void*), protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

TEST(JournalFlush, ChangeIsAcknowledgedOnlyAfterItsJournalEntryIsFlushed) {
    g_realFlush = reinterpret_cast<FlushFunction>(
        ReplaceImport("FlushFileBuffers", reinterpret_cast<void*>(&RecordingFlush)));
    ASSERT_NE(nullptr, g_realFlush) << "this program does not import FlushFileBuffers";
    TempFolder temp("journal-flush");
    QuotaStore store;
    ASSERT_EQ(0u, store.Open(temp.Path()));
    AllotrixDbRec record;
    record.SetObjectName("C:", "\\data");
    base::UniqueFile journal(CreateFileA((temp / "quota.jnl").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(journal);
    for (const char* change : {"Save", "Save again", "Delete"}) {
        uint64_t sizeBefore = StateOf(journal.Get()).size;
        g_flushed.clear();
        record.SetPermQuota(record.GetPermQuota() + 1);
        DWORD error = change[0] == 'S' ? store.Save(record) : store.Delete("C:", "\\data", "");
        ASSERT_EQ(0u, error) << change;
        FileState acknowledged = StateOf(journal.Get());
        EXPECT_GT(acknowledged.size, sizeBefore) << change << " was not written to the journal";
        ASSERT_FALSE(g_flushed.empty()) << "nothing was flushed before acknowledging " << change;
        EXPECT_EQ(acknowledged, g_flushed.back())
            << "the last flush before acknowledging " << change << " left part of the journal";
    }
    ReplaceImport("FlushFileBuffers", reinterpret_cast<void*>(g_realFlush));
}

} // namespace
