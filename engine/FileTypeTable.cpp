#include "engine/FileTypeTable.h"

#include <algorithm>

TTypeTotal TFileTypes::All() const {
    TTypeTotal all = NoExtension;
    all.Add(Other);
    for (const TTypeTotal& t : Kept)
        all.Add(t);
    return all;
}

std::string_view FileExtension(std::string_view rawName) {
    const std::size_t dot = rawName.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return rawName.substr(dot + 1);
}

TFileTypeTable::TFileTypeTable(std::size_t slots) : slots_(slots), marks_(kMarkBits / 64, 0) {}

TFileTypeTable& TFileTypeTable::operator=(const TFileTypeTable& other) {
    slots_ = other.slots_;
    types_ = other.types_;
    none_ = other.none_;
    turnedAway_ = other.turnedAway_;
    marks_ = other.marks_;
    last_ = nullptr;
    return *this;
}

void TFileTypeTable::Add(std::string_view rawName, std::int64_t bytes, std::int64_t allocated) {
    const std::string_view ext = FileExtension(rawName);
    if (ext.empty()) {
        none_.Add(bytes, allocated);
        return;
    }
    // Files of one folder often share their extension: the entry of the
    // last one is reused without a look-up (entries never move).
    if (last_ != nullptr && ext == lastExt_) {
        last_->Add(bytes, allocated);
        return;
    }
    key_.assign(ext);
    for (char& c : key_)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    auto it = types_.find(key_);
    if (it == types_.end()) {
        if (types_.size() >= slots_) {
            Mark(std::hash<std::string>{}(key_));
            turnedAway_.Add(bytes, allocated);
            return;
        }
        it = types_.emplace(key_, TTypeTotal{key_, 0, 0, 0}).first;
    }
    it->second.Add(bytes, allocated);
    last_ = &it->second;
    lastExt_.assign(ext);
}

void TFileTypeTable::Merge(TFileTypeTable&& other) {
    none_.Add(other.none_);
    turnedAway_.Add(other.turnedAway_);
    for (std::size_t i = 0; i < marks_.size(); ++i)
        marks_[i] |= other.marks_[i];
    // Merged tables may together hold more than slots_ types: the bound is
    // per table, and there is one table per walking thread.
    for (auto& [ext, total] : other.types_) {
        auto [it, added] = types_.try_emplace(ext, total);
        if (!added)
            it->second.Add(total);
    }
    other.types_.clear();
    other.last_ = nullptr;
}

TFileTypes TFileTypeTable::Finish(std::size_t kept) const {
    TFileTypes out;
    out.NoExtension = none_;
    out.Other = turnedAway_;
    std::vector<const TTypeTotal*> exact;
    exact.reserve(types_.size());
    for (const auto& [ext, total] : types_) {
        if (Marked(std::hash<std::string>{}(ext)))
            out.Other.Add(total);
        else
            exact.push_back(&total);
    }
    std::sort(exact.begin(), exact.end(), [](const TTypeTotal* a, const TTypeTotal* b) {
        return a->Bytes != b->Bytes ? a->Bytes > b->Bytes : a->Ext < b->Ext;
    });
    for (std::size_t i = 0; i < exact.size(); ++i) {
        if (i < kept)
            out.Kept.push_back(*exact[i]);
        else
            out.Other.Add(*exact[i]);
    }
    return out;
}
