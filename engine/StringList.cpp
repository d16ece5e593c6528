#include "engine/StringList.h"

#include <new>
#include <stdexcept>

TStringList::TStringList(const TStringList& other)
    : starts_(other.starts_), sizes_(other.sizes_), unused_(other.unused_) {
    if (other.used_ != 0) {
        Grow(other.used_);
        std::memcpy(bytes_.get(), other.bytes_.get(), other.used_);
    }
    used_ = other.used_;
}

TStringList& TStringList::operator=(const TStringList& other) {
    if (this != &other) {
        TStringList copy(other);
        swap(copy);
    }
    return *this;
}

TStringList::TStringList(std::initializer_list<std::string_view> texts) {
    std::size_t bytes = 0;
    for (std::string_view text : texts)
        bytes += text.size();
    ReserveBytes(bytes);
    reserve(texts.size());
    for (std::string_view text : texts)
        push_back(text);
}

TStringList::TStringList(size_type count) : starts_(count, 0), sizes_(count, 0) {}

TStringList::TStringList(size_type count, std::string_view text) {
    assign(count, text);
}

void TStringList::assign(size_type count, std::string_view text) {
    clear();
    reserve(count);
    ReserveBytes(count * text.size());
    for (size_type i = 0; i < count; ++i)
        push_back(text);
}

const std::string_view TStringList::at(size_type i) const {
    if (i >= size())
        throw std::out_of_range("TStringList::at");
    return (*this)[i];
}

void TStringList::TooLong() {
    throw std::length_error("TStringList: a text of 4 GiB or more");
}

std::size_t TStringList::AppendGrowing(std::string_view text) {
    // The text may lie in this very buffer (a list copying one of its own
    // texts): keep its place before growing moves it.
    const char* base = bytes_.get();
    const bool inside = !text.empty() && text.data() >= base && text.data() < base + used_;
    const std::size_t from = inside ? static_cast<std::size_t>(text.data() - base) : 0;
    Grow(std::max(used_ + text.size(), 2 * room_ + 64));
    const char* source = inside ? bytes_.get() + from : text.data();
    const std::size_t at = used_;
    if (!text.empty())
        std::memcpy(bytes_.get() + at, source, text.size());
    used_ += text.size();
    return at;
}

void TStringList::Grow(std::size_t room) {
    char* bytes = static_cast<char*>(std::realloc(bytes_.get(), room == 0 ? 1 : room));
    if (bytes == nullptr)
        throw std::bad_alloc();
    (void)bytes_.release();  // realloc took it over
    bytes_.reset(bytes);
    room_ = room;
}

void TStringList::pop_back() {
    unused_ += sizes_.back();
    starts_.pop_back();
    sizes_.pop_back();
    if (sizes_.empty())
        clear();
}

void TStringList::clear() {
    // The bytes are given back (a list cleared to free memory must free it);
    // a load reuses its room through RawBuffer instead.
    bytes_.reset();
    room_ = 0;
    used_ = 0;
    starts_.clear();
    sizes_.clear();
    unused_ = 0;
}

void TStringList::resize(size_type count) {
    while (size() > count)
        pop_back();
    starts_.resize(count, used_);
    sizes_.resize(count, 0);
}

void TStringList::reserve(size_type count) {
    starts_.reserve(count);
    sizes_.reserve(count);
}

void TStringList::ReserveBytes(std::size_t bytes) {
    if (room_ < bytes)
        Grow(bytes);
}

void TStringList::swap(TStringList& other) noexcept {
    bytes_.swap(other.bytes_);
    std::swap(room_, other.room_);
    std::swap(used_, other.used_);
    starts_.swap(other.starts_);
    sizes_.swap(other.sizes_);
    std::swap(unused_, other.unused_);
}

void TStringList::Set(size_type i, std::string_view text) {
    if (text.size() <= sizes_[i]) {
        // memmove: the text may be a part of the one it replaces.
        if (!text.empty())
            std::memmove(bytes_.get() + starts_[i], text.data(), text.size());
        unused_ += sizes_[i] - text.size();
        sizes_[i] = static_cast<std::uint32_t>(text.size());
        return;
    }
    const std::size_t old = sizes_[i];
    starts_[i] = Append(text);
    sizes_[i] = static_cast<std::uint32_t>(text.size());
    unused_ += old;
    if (unused_ > (1u << 16) && unused_ > used_ / 2)
        Compact();
}

void TStringList::Splice(size_type lo, size_type hi, size_type count) {
    for (size_type i = lo; i < hi; ++i)
        unused_ += sizes_[i];
    const auto first = static_cast<std::ptrdiff_t>(lo);
    const auto last = static_cast<std::ptrdiff_t>(hi);
    starts_.erase(starts_.begin() + first, starts_.begin() + last);
    sizes_.erase(sizes_.begin() + first, sizes_.begin() + last);
    starts_.insert(starts_.begin() + first, count, used_);
    sizes_.insert(sizes_.begin() + first, count, 0);
}

void TStringList::Compact() {
    TStringList compact;
    compact.reserve(size());
    compact.ReserveBytes(Bytes());
    for (size_type i = 0; i < size(); ++i)
        compact.push_back((*this)[i]);
    swap(compact);
    unused_ = 0;
}

char* TStringList::RawBuffer(std::size_t size) {
    starts_.clear();
    sizes_.clear();
    unused_ = 0;
    return ResizeRaw(size);
}

char* TStringList::ResizeRaw(std::size_t size) {
    used_ = std::min(used_, size);
    if (room_ < size)
        Grow(size);
    used_ = size;
    return bytes_.get();
}

bool operator==(const TStringList& a, const TStringList& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}
