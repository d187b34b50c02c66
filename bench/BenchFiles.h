#ifndef COGNEXA_BENCH_FILES_H
#define COGNEXA_BENCH_FILES_H

#include <string>
#include <vector>

// A scratch directory for generated data, removed with the object.
class ScratchDirectoryClass {
public:
    explicit ScratchDirectoryClass(const char* purpose);
    ~ScratchDirectoryClass();
    ScratchDirectoryClass(const ScratchDirectoryClass&) = delete;
    ScratchDirectoryClass& operator=(const ScratchDirectoryClass&) = delete;

    const std::string& Get_Path() const { return Path; }

private:
    std::string Path;
};

// The name of equation number; the default is Perception_Weight_000000 and so on.
typedef std::string (*EquationNameFunction)(int number);

// An equation file of the shape games ship: header, comment lines, one indented element per
// equation holding one benchmark expression as tokens, a comment every few equations. Equations
// are numbered from first; the file grows until it reaches at least minimum_bytes or holds
// equation_count equations, whichever the caller asked for (the other is 0).
std::string Make_Equation_File(int first, int equation_count, std::size_t minimum_bytes,
                               EquationNameFunction name_of = nullptr);

// The game runs from its root: equation paths are relative to the current directory.
class WorkingDirectoryClass {
public:
    explicit WorkingDirectoryClass(const std::string& path);
    ~WorkingDirectoryClass();
    WorkingDirectoryClass(const WorkingDirectoryClass&) = delete;
    WorkingDirectoryClass& operator=(const WorkingDirectoryClass&) = delete;

private:
    std::string Previous;
};

bool Write_Bytes(const std::string& path, const std::string& bytes);
std::string Read_Bytes(const std::string& path);
void Make_Directories(const std::string& path);

#endif
