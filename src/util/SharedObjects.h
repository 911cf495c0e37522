// Objects (fonts, pictures) shared by all that describe them alike, made when first asked
// for and kept as long as their owner.
#pragma once

#include <memory>
#include <utility>

// A menu has a handful: a linked list costs less code than a tree or a growing array.
template <typename Key, typename Value> class SharedObjects {
public:
    SharedObjects() = default;
    SharedObjects(const SharedObjects&) = delete;
    SharedObjects& operator=(const SharedObjects&) = delete;
    ~SharedObjects() {
        while (first_) { // one by one: a long list would otherwise be freed recursively
            first_ = std::move(first_->next);
        }
    }
    template <typename Make> const Value& For(Key key, Make make) {
        for (const Entry* entry = first_.get(); entry != nullptr; entry = entry->next.get()) {
            if (entry->key == key) {
                return entry->value;
            }
        }
        first_.reset(new Entry{std::move(key), make(), std::move(first_)});
        return first_->value;
    }

private:
    struct Entry {
        Key key;
        Value value;
        std::unique_ptr<Entry> next;
    };
    std::unique_ptr<Entry> first_;
};
