#include <cognexa/MegaFileManagerClass.h>

#include <cognexa/XMLReaderClass.h>

#include "data/FileFindStateClass.h"
#include "data/MegaFileSlotStruct.h"
#include "data/NameHelpers.h"
#include "data/MemberNameWildcard.h"
#include "foundation/AsciiCharacterTable.h"
#include "foundation/PlatformLockHolderClass.h"

#include <cstring>

namespace {

const char* const Archive_List_Name = "Data\\MegaFiles.xml";

using AsciiCharacterTable::Ascii_Equal_Ignoring_Case;

bool Is_Dot_Entry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// The next free handle: never -1 nor one in use, whatever the counter has wrapped to.
template <typename TableType>
int Allocate_Handle(std::uint32_t& counter, const TableType& in_use)
{
    for (;;) {
        const int handle = static_cast<int>(counter++);
        if (handle != -1 && in_use.find(handle) == in_use.end()) return handle;
    }
}

// Only the name and the attributes of an archive entry are written.
void Report_Entry(WIN32_FIND_DATAA* data, const std::string& name, bool directory)
{
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    data->dwFileAttributes = directory ? COGNEXA_FILE_ATTRIBUTE_DIRECTORY : 0;
}

bool Fits_Find_Data(const std::string& name)
{
    return name.size() < COGNEXA_MAX_PATH;
}

}  // namespace

MegaFileManagerClass::MegaFileManagerClass()
    : Next_Id(0), Next_Member_Handle(1), Next_Find_Handle(1), Lock(TheLibraryPlatformPtr->Create_Lock().release())
{
}

MegaFileManagerClass::~MegaFileManagerClass()
{
    Find_States.clear();
    // Later archives may live inside earlier ones, so they go first.
    while (!Archives.empty()) Remove_Slot(Archives.size() - 1);
    Close_Members_Of(nullptr);
    delete Lock;
}

MegaFileSlotStruct* MegaFileManagerClass::Find_Slot(int id)
{
    for (const std::unique_ptr<MegaFileSlotStruct>& slot : Archives) {
        if (slot->Id == id) return slot.get();
    }
    return nullptr;
}

OpenSubFileStruct* MegaFileManagerClass::Find_Open_Member(int handle)
{
    auto found = Open_Members.find(handle);
    return found != Open_Members.end() ? found->second.get() : nullptr;
}

FileFindStateClass* MegaFileManagerClass::Find_State(int find_handle)
{
    auto found = Find_States.find(find_handle);
    return found != Find_States.end() ? found->second.get() : nullptr;
}

// ---- Archive set ----

int MegaFileManagerClass::Add_Mega_File(const char* path, int mode, bool hidden)
{
    return path != nullptr ? Add_Mega_File(std::string(path), mode, hidden) : -1;
}

int MegaFileManagerClass::Add_Mega_File(const std::string& path, int mode, bool hidden)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return -1;

    // 1. Each archive once, whatever the letter case of its path.
    if (Is_Mega_File_Loaded(path)) return -1;

    // 2. A new id is used up even when the archive does not open; -1 is skipped.
    std::unique_ptr<MegaFileSlotStruct> slot(new MegaFileSlotStruct);
    slot->Path = path;
    slot->Id = Next_Id;
    slot->Hidden = hidden;
    Next_Id = Next_Id == -2 ? 0 : static_cast<int>(static_cast<std::uint32_t>(Next_Id) + 1);
    if (!slot->Archive.Open(path, mode)) return -1;

    // 3. Searched after every archive added before it.
    Archives.push_back(std::move(slot));
    return Archives.back()->Id;
}

void MegaFileManagerClass::Load_Mega_File_List(const char* prefix)
{
    if (prefix == nullptr) return;
    XMLReaderClass list;
    if (list.Load_File(std::string(prefix) + Archive_List_Name, true) != XML_OK) return;
    do {
        std::string path;
        if (list.Get_Value(path) == XML_OK && !path.empty()) Add_Mega_File(prefix + path, 0, false);
    } while (list.Move_To_Next_Sibling() == XML_OK);
}

void MegaFileManagerClass::Close_Members_Of(const MegaFileSlotStruct* slot)
{
    // The records leave the table before their streams close: a stream on an archive that is
    // itself a member closes that member through this manager, which edits the table.
    std::vector<std::unique_ptr<OpenSubFileStruct>> closing;
    for (auto member = Open_Members.begin(); member != Open_Members.end();) {
        if (slot == nullptr || member->second->Slot == slot) {
            closing.push_back(std::move(member->second));
            member = Open_Members.erase(member);
        } else {
            ++member;
        }
    }
    closing.clear();
}

void MegaFileManagerClass::Remove_Slot(std::size_t position)
{
    MegaFileSlotStruct* slot = Archives[position].get();
    Close_Members_Of(slot);
    slot->Archive.Close();
    Archives.erase(Archives.begin() + static_cast<std::ptrdiff_t>(position));
}

bool MegaFileManagerClass::Remove_Mega_File(int id)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return false;
    for (std::size_t position = 0; position < Archives.size(); ++position) {
        if (Archives[position]->Id == id) {
            Remove_Slot(position);
            return true;
        }
    }
    return false;
}

bool MegaFileManagerClass::Remove_Mega_File(const std::string& path)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return false;
    for (std::size_t position = 0; position < Archives.size(); ++position) {
        if (Ascii_Equal_Ignoring_Case(Archives[position]->Path, path)) {
            Remove_Slot(position);
            return true;
        }
    }
    return false;
}

bool MegaFileManagerClass::Remove_All_Mega_Files()
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock() || Archives.empty()) return false;
    while (!Archives.empty()) Remove_Slot(Archives.size() - 1);
    return true;
}

bool MegaFileManagerClass::Is_Mega_File_Loaded(const std::string& path)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return false;
    for (const std::unique_ptr<MegaFileSlotStruct>& slot : Archives) {
        if (Ascii_Equal_Ignoring_Case(slot->Path, path)) return true;
    }
    return false;
}

bool MegaFileManagerClass::Is_Valid_Mega_File_ID(int id)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    return lock.Owns_Lock() && Find_Slot(id) != nullptr;
}

// ---- Open members ----

int MegaFileManagerClass::Open_Sub_File(const char* name)
{
    return name != nullptr ? Open_Sub_File(std::string(name)) : -1;
}

int MegaFileManagerClass::Open_Sub_File(const std::string& name)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock() || name.empty() || Archives.empty()) return -1;

    for (const std::unique_ptr<MegaFileSlotStruct>& slot : Archives) {
        if (slot->Hidden) continue;
        const int index = slot->Archive.Find_Sub_File(name);
        if (index == -1) continue;
        // The first archive holding the member wins, even when its stream does not open.
        std::unique_ptr<FileStreamClass> stream(slot->Archive.Open_Sub_File_Stream(index));
        if (stream == nullptr) return -1;
        std::unique_ptr<OpenSubFileStruct> member(new OpenSubFileStruct);
        member->Name = name;
        member->Stream = std::move(stream);
        member->Slot = slot.get();
        member->Index = index;
        const int handle = Allocate_Handle(Next_Member_Handle, Open_Members);
        Open_Members[handle] = std::move(member);
        return handle;
    }
    return -1;
}

int MegaFileManagerClass::Read_Sub_File(int handle, void* buffer, int count)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    OpenSubFileStruct* member = lock.Owns_Lock() ? Find_Open_Member(handle) : nullptr;
    if (member == nullptr || count < 0) return -1;
    MegaArchiveClass& archive = member->Slot->Archive;
    const std::uint32_t size = archive.Get_Sub_File_Size(member->Index);
    if (static_cast<std::uint32_t>(count) > size) count = static_cast<int>(size);
    const bool in_memory = archive.Get_Mode() == MegaArchiveClass::MODE_IN_MEMORY;
    if (in_memory) archive.Seek_Sub_File(member->Index, nullptr, member->Memory_Position, 0);
    const int got = archive.Read_Sub_File(member->Index, member->Stream.get(), buffer, count);
    if (in_memory && got > 0) member->Memory_Position += got;
    return got;
}

int MegaFileManagerClass::Seek_Sub_File(int handle, int offset, int origin)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    OpenSubFileStruct* member = lock.Owns_Lock() ? Find_Open_Member(handle) : nullptr;
    if (member == nullptr) return -1;
    MegaArchiveClass& archive = member->Slot->Archive;
    if (archive.Get_Mode() != MegaArchiveClass::MODE_IN_MEMORY) {
        return archive.Seek_Sub_File(member->Index, member->Stream.get(), offset, origin);
    }
    archive.Seek_Sub_File(member->Index, nullptr, member->Memory_Position, 0);
    const int position = archive.Seek_Sub_File(member->Index, nullptr, offset, origin);
    if (position >= 0) member->Memory_Position = position;
    return position;
}

int MegaFileManagerClass::Get_Sub_File_Size(int handle)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    OpenSubFileStruct* member = lock.Owns_Lock() ? Find_Open_Member(handle) : nullptr;
    if (member == nullptr) return 0;
    return static_cast<int>(member->Slot->Archive.Get_Sub_File_Size(member->Index));
}

bool MegaFileManagerClass::Close_Sub_File(int handle)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return false;
    auto found = Open_Members.find(handle);
    if (found == Open_Members.end()) return false;
    std::unique_ptr<OpenSubFileStruct> member = std::move(found->second);
    Open_Members.erase(found);
    return member->Stream->Close();
}

bool MegaFileManagerClass::Is_Sub_File_Open(int handle)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    return lock.Owns_Lock() && Find_Open_Member(handle) != nullptr;
}

// ---- Enumeration ----

int MegaFileManagerClass::Find_First(const char* path, WIN32_FIND_DATAA* data)
{
    // 1, 2. The search directory and the pattern, in the stored form of member names.
    if (path == nullptr || data == nullptr) return -1;
    std::unique_ptr<FileFindStateClass> state(new FileFindStateClass);
    SplitPathStruct parts;
    Split_Path_Into(path, parts);
    state->Directory = parts.Directory;
    state->Pattern = parts.File_Name == "*.*" ? "*" : parts.File_Name;

    // 3, 4. Loose files first; each name reported enters the set, so it shadows members.
    state->Loose_Search = TheLibraryPlatformPtr->Find_First_File(path, data);
    bool found = state->Loose_Search != nullptr;
    if (found && !Is_Dot_Entry(data->cFileName)) {
        state->Returned_Names.insert(state->Directory_Prefix() + To_Upper_Copy(data->cFileName));
    }

    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return -1;
    // 5. No loose file: the members.
    if (!found) {
        state->In_Archive_Phase = true;
        found = Scan_Archives(*state, data);
    }
    if (!found) return -1;
    const int handle = Allocate_Handle(Next_Find_Handle, Find_States);
    Find_States[handle] = std::move(state);
    return handle;
}

bool MegaFileManagerClass::Find_Next(int find_handle, WIN32_FIND_DATAA* data)
{
    if (find_handle == -1 || data == nullptr) return false;
    FileFindStateClass* state;
    {
        PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
        state = lock.Owns_Lock() ? Find_State(find_handle) : nullptr;
    }
    if (state == nullptr) return false;

    // The loose phase runs without the lock.
    if (!state->In_Archive_Phase) {
        if (state->Loose_Search->Next(data)) {
            if (!Is_Dot_Entry(data->cFileName)) {
                state->Returned_Names.insert(state->Directory_Prefix() + To_Upper_Copy(data->cFileName));
            }
            return true;
        }
        state->Close_Loose_Search();
        state->In_Archive_Phase = true;
        state->Slot = 0;
        state->Member = 0;
    } else {
        ++state->Member;
    }
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    return lock.Owns_Lock() && Scan_Archives(*state, data);
}

bool MegaFileManagerClass::Find_Close(int find_handle)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    if (!lock.Owns_Lock()) return false;
    return Find_States.erase(find_handle) > 0;
}

bool MegaFileManagerClass::Scan_Archives(FileFindStateClass& state, WIN32_FIND_DATAA* data)
{
    const std::string prefix = state.Directory_Prefix();
    std::string stored;
    SplitPathStruct parts;
    for (; state.Slot < Archives.size(); ++state.Slot, state.Member = 0) {
        const MegaFileSlotStruct& slot = *Archives[state.Slot];
        if (slot.Hidden) continue;
        for (; state.Member < slot.Archive.Get_Record_Count(); ++state.Member) {
            slot.Archive.Get_Sub_File_Name(static_cast<int>(state.Member), stored);

            // A member below a subdirectory of the search directory reports the subdirectory,
            // once however many members lie below it.
            if (stored.compare(0, prefix.size(), prefix) == 0) {
                const std::string::size_type slash = stored.find('\\', prefix.size());
                if (slash != std::string::npos) {
                    const std::string subdirectory = stored.substr(prefix.size(), slash - prefix.size());
                    if (state.Returned_Names.insert(prefix + subdirectory).second &&
                        Member_Name_Matches(state.Pattern, subdirectory) && Fits_Find_Data(subdirectory)) {
                        Report_Entry(data, subdirectory, true);
                        return true;
                    }
                }
            }

            // A member of the search directory itself, unless its name was reported already.
            Split_Path_Into(stored, parts);
            if (parts.Directory == state.Directory && Fits_Find_Data(parts.File_Name) &&
                state.Returned_Names.count(stored) == 0 && Member_Name_Matches(state.Pattern, parts.File_Name)) {
                state.Returned_Names.insert(stored);
                Report_Entry(data, parts.File_Name, false);
                return true;
            }
        }
    }
    return false;
}

// ---- Members by archive id ----

const void* MegaFileManagerClass::Load_Sub_File_Data(int id, const std::string& name, unsigned int& size, int& index)
{
    size = 0;
    index = -1;
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    if (slot == nullptr) return nullptr;
    const int found = slot->Archive.Find_Sub_File(name);
    if (found == -1) return nullptr;
    size = slot->Archive.Get_Sub_File_Size(found);
    index = found;
    return slot->Archive.Load_Sub_File_Data(found);
}

const void* MegaFileManagerClass::Load_Sub_File_Data(int id, int index, unsigned int& size)
{
    size = 0;
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    if (slot == nullptr || index < 0 || static_cast<std::uint32_t>(index) >= slot->Archive.Get_Record_Count()) {
        return nullptr;
    }
    size = slot->Archive.Get_Sub_File_Size(index);
    return slot->Archive.Load_Sub_File_Data(index);
}

bool MegaFileManagerClass::Release_Sub_File_Data(int id, const void* block)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    return slot != nullptr && slot->Archive.Release_Sub_File_Data(block);
}

unsigned int MegaFileManagerClass::Get_Sub_File_Size(int id, int index)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    return slot != nullptr ? slot->Archive.Get_Sub_File_Size(index) : 0;
}

unsigned int MegaFileManagerClass::Get_Sub_File_CRC(int id, int index)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    return slot != nullptr ? slot->Archive.Get_Sub_File_CRC(index) : 0;
}

unsigned int MegaFileManagerClass::Get_Sub_File_Count(int id)
{
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    return slot != nullptr ? slot->Archive.Get_Record_Count() : 0;
}

void MegaFileManagerClass::Get_Sub_File_Name(int id, int index, std::string& name)
{
    name.clear();
    PlatformLockHolderClass lock(*Lock, Lock_Wait_Milliseconds);
    MegaFileSlotStruct* slot = lock.Owns_Lock() ? Find_Slot(id) : nullptr;
    if (slot != nullptr) slot->Archive.Get_Sub_File_Name(index, name);
}
