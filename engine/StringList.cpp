#include "engine/StringList.h"

#include <new>
#include <stdexcept>

TStringList::TStringList(std::initializer_list<std::string_view> texts) {
    std::size_t bytes = 0;
    for (std::string_view text : texts)
        bytes += text.size();
    ReserveBytes(bytes);
    reserve(texts.size());
    for (std::string_view text : texts)
        push_back(text);
}

TStringList::TStringList(size_type count) {
    if (count == 0)
        return;
    TData& d = Mutable();
    d.Starts.assign(count, 0);
    d.Sizes.assign(count, 0);
    Sync();
}

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

std::size_t TStringList::TData::AppendGrowing(std::string_view text) {
    // The text may lie in this very buffer (a list copying one of its own
    // texts): keep its place before growing moves it.
    const char* base = Bytes.get();
    const bool inside = !text.empty() && text.data() >= base && text.data() < base + Used;
    const std::size_t from = inside ? static_cast<std::size_t>(text.data() - base) : 0;
    Grow(std::max(Used + text.size(), 2 * Room + 64));
    const char* source = inside ? Bytes.get() + from : text.data();
    const std::size_t at = Used;
    if (!text.empty())
        std::memcpy(Bytes.get() + at, source, text.size());
    Used += text.size();
    return at;
}

void TStringList::TData::Grow(std::size_t room) {
    char* bytes = static_cast<char*>(std::realloc(Bytes.get(), room == 0 ? 1 : room));
    if (bytes == nullptr)
        throw std::bad_alloc();
    (void)Bytes.release();  // realloc took it over
    Bytes.reset(bytes);
    Room = room;
}

void TStringList::Detach(std::size_t keepBytes) {
    auto own = std::make_shared<TData>();
    if (d_) {
        // The shared texts stay valid while this list copies them: d_ keeps
        // them alive, and no list changes texts it shares.
        const TData& shared = *d_;
        const std::size_t bytes = std::min(shared.Used, keepBytes);
        if (bytes != 0) {
            own->Grow(bytes);
            std::memcpy(own->Bytes.get(), shared.Bytes.get(), bytes);
        }
        own->Used = bytes;
        if (keepBytes >= shared.Used) {
            own->Starts = shared.Starts;
            own->Sizes = shared.Sizes;
            own->Unused = shared.Unused;
        }
    }
    d_ = std::move(own);
    Sync();
}

void TStringList::PushBackShared(std::string_view text) {
    // The shared texts stay until the text is copied, even when the other
    // lists that share them go meanwhile.
    const std::shared_ptr<TData> keep = d_;
    Detach(SIZE_MAX);
    push_back(text);
}

std::size_t TStringList::HeldBytes() const {
    if (!d_)
        return 0;
    return d_->Room + d_->Starts.capacity() * sizeof(std::uint64_t) +
           d_->Sizes.capacity() * sizeof(std::uint32_t);
}

void TStringList::pop_back() {
    TData& d = Mutable();
    d.Unused += d.Sizes.back();
    d.Starts.pop_back();
    d.Sizes.pop_back();
    if (d.Sizes.empty())
        clear();
    else
        Sync();
}

void TStringList::clear() {
    // The bytes are given back (a list cleared to free memory must free it);
    // a load reuses its room through RawBuffer instead.
    d_.reset();
    bytes_ = nullptr;
    starts_ = nullptr;
    sizes_ = nullptr;
    size_ = 0;
}

void TStringList::resize(size_type count) {
    while (size() > count)
        pop_back();
    if (count == size())
        return;
    TData& d = Mutable();
    d.Starts.resize(count, d.Used);
    d.Sizes.resize(count, 0);
    Sync();
}

void TStringList::reserve(size_type count) {
    if (count <= capacity())
        return;
    TData& d = Mutable();
    d.Starts.reserve(count);
    d.Sizes.reserve(count);
    Sync();
}

void TStringList::ReserveBytes(std::size_t bytes) {
    if (d_ && d_->Room >= bytes)
        return;
    TData& d = Mutable();
    if (d.Room < bytes)
        d.Grow(bytes);
    Sync();
}

void TStringList::swap(TStringList& other) noexcept {
    d_.swap(other.d_);
    std::swap(bytes_, other.bytes_);
    std::swap(starts_, other.starts_);
    std::swap(sizes_, other.sizes_);
    std::swap(size_, other.size_);
}

void TStringList::Set(size_type i, std::string_view text) {
    // A text of this list, about to be copied away from the shared buffer
    // when the list detaches: keep where it lies within the list's texts.
    const char* base = bytes_;
    const bool inside =
        !text.empty() && base != nullptr && text.data() >= base && text.data() < base + d_->Used;
    const std::size_t from = inside ? static_cast<std::size_t>(text.data() - base) : 0;
    TData& d = Mutable();
    if (inside)
        text = std::string_view(d.Bytes.get() + from, text.size());
    if (text.size() <= d.Sizes[i]) {
        // memmove: the text may be a part of the one it replaces.
        if (!text.empty())
            std::memmove(d.Bytes.get() + d.Starts[i], text.data(), text.size());
        d.Unused += d.Sizes[i] - text.size();
        d.Sizes[i] = static_cast<std::uint32_t>(text.size());
        Sync();
        return;
    }
    const std::size_t old = d.Sizes[i];
    d.Starts[i] = d.Append(text);
    d.Sizes[i] = static_cast<std::uint32_t>(text.size());
    d.Unused += old;
    Sync();
    if (d.Unused > (1u << 16) && d.Unused > d.Used / 2)
        Compact();
}

void TStringList::Splice(size_type lo, size_type hi, size_type count) {
    TData& d = Mutable();
    for (size_type i = lo; i < hi; ++i)
        d.Unused += d.Sizes[i];
    const auto first = static_cast<std::ptrdiff_t>(lo);
    const auto last = static_cast<std::ptrdiff_t>(hi);
    d.Starts.erase(d.Starts.begin() + first, d.Starts.begin() + last);
    d.Sizes.erase(d.Sizes.begin() + first, d.Sizes.begin() + last);
    d.Starts.insert(d.Starts.begin() + first, count, d.Used);
    d.Sizes.insert(d.Sizes.begin() + first, count, 0);
    Sync();
}

void TStringList::Compact() {
    TStringList compact;
    compact.reserve(size());
    compact.ReserveBytes(Bytes());
    for (size_type i = 0; i < size(); ++i)
        compact.push_back((*this)[i]);
    swap(compact);
}

char* TStringList::RawBuffer(std::size_t size) {
    TData& d = Mutable(size);
    d.Starts.clear();
    d.Sizes.clear();
    d.Unused = 0;
    Sync();
    return ResizeRaw(size);
}

char* TStringList::ResizeRaw(std::size_t size) {
    TData& d = Mutable();
    d.Used = std::min(d.Used, size);
    if (d.Room < size)
        d.Grow(size);
    d.Used = size;
    Sync();
    return d.Bytes.get();
}

bool operator==(const TStringList& a, const TStringList& b) {
    if (a.size() != b.size())
        return false;
    if (a.SharesWith(b))
        return true;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}
