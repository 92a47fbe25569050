// An ordered list that owns its objects (creatures, floating texts).
//
// The game walks these lists while the object just visited dies and new
// ones (a big slime's offspring) are born, so a walk tolerates both: a
// removed object is unhooked at once but freed only when no walk is under
// way, and objects appended during a walk are reached by the same walk.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T>
class TList {
public:
    TList() { items.reserve(64); }
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    ~TList() { Clear(); }

    // Takes ownership of obj, which must come from new.
    T* AddLast(T* obj) {
        items.push_back(obj);
        ++live;
        return obj;
    }

    // Removes the first entry that is that very object, and frees it.
    void Remove(T* obj) {
        auto it = std::find(items.begin(), items.end(), obj);
        if (it == items.end() || obj == nullptr) return;
        --live;
        if (walking > 0) {
            *it = nullptr;
            dead.push_back(obj);
        } else {
            items.erase(it);
            delete obj;
        }
    }

    // Visits every entry from first to last; fn(T*) may Remove the entry it
    // was given and AddLast new ones.
    template <class F>
    void ForEach(F fn) {
        ++walking;
        for (size_t i = 0; i < items.size(); ++i)
            if (T* p = items[i]) fn(p);
        if (--walking == 0) Settle();
    }

    void Clear() {
        for (T* p : items)
            if (p) dead.push_back(p);
        items.clear();
        live = 0;
        if (walking == 0) Settle();
    }

    size_t Count() const { return live; }
    bool Contains(const T* obj) const { return std::find(items.begin(), items.end(), obj) != items.end(); }
    // The n-th living entry (0 based), or null.
    T* At(size_t n) const {
        for (T* p : items)
            if (p && n-- == 0) return p;
        return nullptr;
    }

private:
    void Settle() {
        items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
        for (T* p : dead) delete p;
        dead.clear();
    }

    std::vector<T*> items;
    std::vector<T*> dead;
    size_t live = 0;
    int walking = 0;
};
