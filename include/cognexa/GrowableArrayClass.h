#ifndef COGNEXA_GROWABLE_ARRAY_CLASS_H
#define COGNEXA_GROWABLE_ARRAY_CLASS_H

#include <cstdlib>
#include <type_traits>

// An array of plain values that grows from capacity c to c + max(c / 10, 10), so small
// arrays grow in steps of ten and large ones by a tenth. Appending reports an allocation
// failure instead of throwing.
template <typename T>
class GrowableArrayClass {
    static_assert(std::is_trivially_copyable<T>::value, "values are moved with realloc");

public:
    GrowableArrayClass() = default;
    ~GrowableArrayClass() { std::free(Items); }
    GrowableArrayClass(const GrowableArrayClass&) = delete;
    GrowableArrayClass& operator=(const GrowableArrayClass&) = delete;

    int Count() const { return Used; }
    int Capacity() const { return Allocated; }
    T& operator[](int index) { return Items[index]; }
    const T& operator[](int index) const { return Items[index]; }

    bool Append(const T& item)
    {
        if (Used == Allocated && !Grow()) return false;
        Items[Used++] = item;
        return true;
    }

    void Remove_Last() { --Used; }

    // Removes the first element equal to item, keeping the order of the others.
    bool Remove(const T& item)
    {
        for (int index = 0; index < Used; ++index) {
            if (Items[index] == item) {
                for (int later = index + 1; later < Used; ++later) Items[later - 1] = Items[later];
                --Used;
                return true;
            }
        }
        return false;
    }

    void Clear()
    {
        std::free(Items);
        Items = nullptr;
        Used = 0;
        Allocated = 0;
    }

private:
    bool Grow()
    {
        const int step = Allocated / 10 > 10 ? Allocated / 10 : 10;
        if (Allocated > 0x3FFFFFFF - step) return false;
        void* grown = std::realloc(Items, sizeof(T) * static_cast<std::size_t>(Allocated + step));
        if (grown == nullptr) return false;
        Items = static_cast<T*>(grown);
        Allocated += step;
        return true;
    }

    T* Items = nullptr;
    int Used = 0;
    int Allocated = 0;
};

#endif
