#ifndef COGNEXA_PLATFORM_MEMORY_LIBRARY_PLATFORM_CLASS_H
#define COGNEXA_PLATFORM_MEMORY_LIBRARY_PLATFORM_CLASS_H

#include "foundation/LibraryPlatformClass.h"
#include "platform/memory/MemoryFileEntryStruct.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// A file system and notice sink held in memory, for tests: files by name with contents and
// last-write times, directories implied by the names of their files (or added empty). Names
// behave as on the POSIX platform: "\" or "/" separate components, a name that does not exist
// as written is resolved one component at a time ignoring ASCII case (the first entry in byte
// order wins), and a search reports "." and ".." and sorts its matches. Relative names and
// names under "/" are two separate trees. Safe to use from several threads.
class MemoryLibraryPlatformClass : public LibraryPlatformClass {
public:
    typedef std::vector<std::pair<std::string, std::string>> NoticeListType;

    // 2001-01-01 00:00 UTC as 100 ns ticks since 1601-01-01.
    static constexpr std::uint64_t Default_Time = 126227808000000000ULL;

    MemoryLibraryPlatformClass() = default;
    MemoryLibraryPlatformClass(const MemoryLibraryPlatformClass&) = delete;
    MemoryLibraryPlatformClass& operator=(const MemoryLibraryPlatformClass&) = delete;

    // Creates or replaces a file as written (no case resolution), with its directories.
    void Add_File(const std::string& name, const std::string& contents, std::uint64_t last_write_time = Default_Time);
    void Add_Directory(const std::string& name);
    // Removes a file or an empty directory found as Open_File_For_Reading would find it.
    bool Remove(const std::string& name);
    // The contents of the file name resolves to; false when there is none.
    bool Read_File(const std::string& name, std::string& contents) const;
    // Closes of the file name resolves to report failure from now on (the file is released
    // all the same); false when there is no such file.
    bool Fail_Closes_Of(const std::string& name);
    // The time that writes stamp on the files they change.
    void Set_Clock(std::uint64_t ticks);
    // Every notice shown so far, caption and text, oldest first.
    NoticeListType Notices() const;

    std::unique_ptr<PlatformFileClass> Open_File_For_Reading(const char* name) override;
    std::unique_ptr<PlatformFileClass> Create_File_For_Writing(const char* name) override;
    std::unique_ptr<PlatformSearchClass> Find_First_File(const char* path, WIN32_FIND_DATAA* data) override;
    std::unique_ptr<PlatformLockClass> Create_Lock() override;
    void Show_Notice(const char* caption, const char* text) override;

    // For the searches: the entry name of directory as the search reports it; false when it
    // has gone since the search started.
    bool Describe_Entry(const std::string& directory, const std::string& name, WIN32_FIND_DATAA* data) const;

private:
    std::string Resolve(const std::string& name) const;
    bool Is_Directory(const std::string& key) const;
    std::set<std::string> Entries_Of(const std::string& directory) const;
    void Add_Parents(const std::string& key);

    mutable std::mutex Mutex;
    std::map<std::string, std::shared_ptr<MemoryFileEntryStruct>> Files;
    std::set<std::string> Directories;
    NoticeListType Shown_Notices;
    std::uint64_t Clock = Default_Time;
};

#endif
