#pragma once
// The program keeps its shared data in parallel lists of texts (paths, sizes,
// percentages, colours), so that a list can be written to and read from a
// result file line by line without conversion. A text is the raw bytes of the
// line: names are kept as the file system reports them, never re-encoded.
//
// A drive of a million folders has three million texts, and making, loading
// and freeing them one allocation each took most of the time after a walk
// and of opening stored results. So a list keeps all its texts in one byte
// buffer and, per text, where it starts and how long it is. A file's bytes
// can become the buffer as they are read, its lines marked where they lie.
//
// Texts are read as std::string_view. A view stays valid until the list is
// next changed: any change may move the buffer. Replacing a text writes it
// in place when it fits, else at the buffer's end; bytes no text uses any
// more are given back once they outweigh the ones in use.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TStringList {
  public:
    using value_type = std::string_view;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = std::string_view;
    using const_reference = std::string_view;

    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using reference = std::string_view;
        struct pointer {
            std::string_view text;
            const std::string_view* operator->() const { return &text; }
        };

        const_iterator() = default;
        const_iterator(const TStringList* list, size_type at) : list_(list), at_(at) {}
        const std::string_view operator*() const { return (*list_)[at_]; }
        pointer operator->() const { return pointer{**this}; }
        std::string_view operator[](difference_type n) const { return (*list_)[at_ + n]; }
        const_iterator& operator++() { return ++at_, *this; }
        const_iterator& operator--() { return --at_, *this; }
        const_iterator operator++(int) { return const_iterator(list_, at_++); }
        const_iterator operator--(int) { return const_iterator(list_, at_--); }
        const_iterator& operator+=(difference_type n) { return at_ += n, *this; }
        const_iterator& operator-=(difference_type n) { return at_ -= n, *this; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }
        friend bool operator!=(const const_iterator& a, const const_iterator& b) {
            return a.at_ != b.at_;
        }
        friend bool operator<(const const_iterator& a, const const_iterator& b) {
            return a.at_ < b.at_;
        }
        friend bool operator>(const const_iterator& a, const const_iterator& b) { return b < a; }
        friend bool operator<=(const const_iterator& a, const const_iterator& b) {
            return !(b < a);
        }
        friend bool operator>=(const const_iterator& a, const const_iterator& b) {
            return !(a < b);
        }
        // The position in the list.
        size_type Index() const { return at_; }

      private:
        const TStringList* list_ = nullptr;
        size_type at_ = 0;
    };
    using iterator = const_iterator;

    TStringList() = default;
    TStringList(const TStringList& other);
    TStringList(TStringList&& other) noexcept { swap(other); }
    TStringList& operator=(const TStringList& other);
    TStringList& operator=(TStringList&& other) noexcept {
        swap(other);
        return *this;
    }
    TStringList(std::initializer_list<std::string_view> texts);
    // count empty texts, or count copies of text.
    explicit TStringList(size_type count);
    TStringList(size_type count, std::string_view text);
    template <class It, class = typename std::iterator_traits<It>::iterator_category>
    TStringList(It first, It last) {
        assign(first, last);
    }

    size_type size() const { return sizes_.size(); }
    bool empty() const { return sizes_.empty(); }
    // Const, so that assigning to a text (which would change nothing) does
    // not compile: Set replaces a text.
    const std::string_view operator[](size_type i) const {
        return std::string_view(bytes_.get() + starts_[i], sizes_[i]);
    }
    // operator[] that throws std::out_of_range past the end.
    const std::string_view at(size_type i) const;
    const std::string_view front() const { return (*this)[0]; }
    const std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

    void push_back(std::string_view text) {
        const std::size_t at = Append(text);
        starts_.push_back(at);
        sizes_.push_back(static_cast<std::uint32_t>(text.size()));
    }
    template <class... Args>
    void emplace_back(Args&&... args) {
        push_back(std::string_view(std::forward<Args>(args)...));
    }
    void pop_back();
    // Frees the bytes too.
    void clear();
    // Empty texts added or texts dropped at the end.
    void resize(size_type count);
    // Room for count texts; ReserveBytes for their bytes.
    void reserve(size_type count);
    void ReserveBytes(std::size_t bytes);
    size_type capacity() const { return sizes_.capacity(); }
    void swap(TStringList& other) noexcept;
    void assign(size_type count, std::string_view text);
    template <class It>
    void assign(It first, It last) {
        clear();
        using TCategory = typename std::iterator_traits<It>::iterator_category;
        if constexpr (std::is_base_of_v<std::random_access_iterator_tag, TCategory>)
            reserve(static_cast<size_type>(last - first));
        for (; first != last; ++first)
            push_back(std::string_view(*first));
    }
    // Replaces text i.
    void Set(size_type i, std::string_view text);
    // Replaces the texts [lo, hi) with count empty ones, to be Set.
    void Splice(size_type lo, size_type hi, size_type count);

    // The bytes the texts take, without the bytes no text uses any more.
    std::size_t Bytes() const { return used_ - unused_; }

    // Loading a file: RawBuffer clears the texts and makes the buffer size
    // bytes long, keeping its first bytes (a read that finds the file longer
    // than expected grows it); the caller fills it and marks each text that
    // lies in it with AddInPlace (offset and size within the buffer).
    char* RawBuffer(std::size_t size);
    // The same keeping the texts marked so far (they lie below size).
    char* ResizeRaw(std::size_t size);
    void AddInPlace(std::size_t offset, std::size_t size) {
        if (size > kMaxText)
            TooLong();
        starts_.push_back(offset);
        sizes_.push_back(static_cast<std::uint32_t>(size));
    }
    std::string_view RawBytes() const { return std::string_view(bytes_.get(), used_); }

    friend bool operator==(const TStringList& a, const TStringList& b);
    friend bool operator!=(const TStringList& a, const TStringList& b) { return !(a == b); }

  private:
    static constexpr std::size_t kMaxText = 0xFFFFFFFFu;
    [[noreturn]] static void TooLong();
    // Copies text to the end of the buffer; returns where it starts.
    std::size_t Append(std::string_view text) {
        if (text.size() > kMaxText)
            TooLong();
        if (used_ + text.size() > room_)
            return AppendGrowing(text);
        const std::size_t at = used_;
        if (!text.empty())
            std::memcpy(bytes_.get() + at, text.data(), text.size());
        used_ += text.size();
        return at;
    }
    std::size_t AppendGrowing(std::string_view text);
    // Room for at least room bytes, keeping the used ones.
    void Grow(std::size_t room);
    void Compact();

    // Plain malloc'ed bytes: growing a large buffer with realloc moves pages
    // instead of copying them, and new room is not zeroed first.
    struct TFreeBytes {
        void operator()(char* bytes) const noexcept { std::free(bytes); }
    };
    std::unique_ptr<char[], TFreeBytes> bytes_;
    std::size_t room_ = 0;
    std::size_t used_ = 0;
    std::vector<std::uint64_t> starts_;
    std::vector<std::uint32_t> sizes_;
    std::size_t unused_ = 0;  // bytes of replaced texts
};

inline void swap(TStringList& a, TStringList& b) noexcept {
    a.swap(b);
}
