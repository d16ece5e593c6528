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
//
// Copies share the texts: a copy costs one reference count (atomic, so
// copies may live on different threads), and a list copies them only when
// it is first changed while another list still shares them. The window, its
// folder tree and the tree's view hold the same drive of millions of texts
// once, and handing lists over between them takes no time.
#include <algorithm>
#include <atomic>
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
    TStringList(const TStringList& other) = default;
    TStringList(TStringList&& other) noexcept { swap(other); }
    TStringList& operator=(const TStringList& other) = default;
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

    size_type size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Const, so that assigning to a text (which would change nothing) does
    // not compile: Set replaces a text.
    const std::string_view operator[](size_type i) const {
        return std::string_view(bytes_ + starts_[i], sizes_[i]);
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
        if (!Unique())
            return PushBackShared(text);
        TData& d = *d_;
        const std::size_t at = d.Append(text);
        d.Starts.push_back(at);
        d.Sizes.push_back(static_cast<std::uint32_t>(text.size()));
        Sync();
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
    size_type capacity() const { return d_ ? d_->Sizes.capacity() : 0; }
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
    std::size_t Bytes() const { return d_ ? d_->Used - d_->Unused : 0; }
    // The memory the list holds (its buffer and the place of each text),
    // whether or not other lists share it.
    std::size_t HeldBytes() const;
    // True when this list and other share their texts (a copy neither has
    // changed since).
    bool SharesWith(const TStringList& other) const { return d_ && d_ == other.d_; }

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
        TData& d = Mutable();
        d.Starts.push_back(offset);
        d.Sizes.push_back(static_cast<std::uint32_t>(size));
        Sync();
    }
    std::string_view RawBytes() const {
        return d_ ? std::string_view(bytes_, d_->Used) : std::string_view();
    }

    friend bool operator==(const TStringList& a, const TStringList& b);
    friend bool operator!=(const TStringList& a, const TStringList& b) { return !(a == b); }

  private:
    static constexpr std::size_t kMaxText = 0xFFFFFFFFu;
    [[noreturn]] static void TooLong();

    // Plain malloc'ed bytes: growing a large buffer with realloc moves pages
    // instead of copying them, and new room is not zeroed first.
    struct TFreeBytes {
        void operator()(char* bytes) const noexcept { std::free(bytes); }
    };
    // The texts, shared by the lists copied from each other.
    struct TData {
        std::unique_ptr<char[], TFreeBytes> Bytes;
        std::size_t Room = 0;
        std::size_t Used = 0;
        std::size_t Unused = 0;  // bytes of replaced texts
        std::vector<std::uint64_t> Starts;
        std::vector<std::uint32_t> Sizes;

        // Copies text to the end of the buffer; returns where it starts.
        std::size_t Append(std::string_view text) {
            if (text.size() > kMaxText)
                TooLong();
            if (Used + text.size() > Room)
                return AppendGrowing(text);
            const std::size_t at = Used;
            if (!text.empty())
                std::memcpy(Bytes.get() + at, text.data(), text.size());
            Used += text.size();
            return at;
        }
        std::size_t AppendGrowing(std::string_view text);
        // Room for at least room bytes, keeping the used ones.
        void Grow(std::size_t room);
    };

    // The texts for a change: this list's own, copied first when another
    // list shares them (keeping the first keepBytes bytes of the buffer).
    TData& Mutable(std::size_t keepBytes = SIZE_MAX) {
        if (!Unique())
            Detach(keepBytes);
        return *d_;
    }
    bool Unique() const {
        if (!d_ || d_.use_count() != 1)
            return false;
        // Pairs with the release of the last other list's reference: its
        // reads of the texts come before this list's writes.
        std::atomic_thread_fence(std::memory_order_acquire);
        return true;
    }
    void Detach(std::size_t keepBytes);
    // push_back on texts that are shared (the text may be one of them).
    void PushBackShared(std::string_view text);
    // Takes the places of the texts after a change, for reading them with
    // one indirection as an unshared list would.
    void Sync() {
        bytes_ = d_->Bytes.get();
        starts_ = d_->Starts.data();
        sizes_ = d_->Sizes.data();
        size_ = d_->Sizes.size();
    }
    void Compact();

    std::shared_ptr<TData> d_;
    const char* bytes_ = nullptr;
    const std::uint64_t* starts_ = nullptr;
    const std::uint32_t* sizes_ = nullptr;
    size_type size_ = 0;
};

inline void swap(TStringList& a, TStringList& b) noexcept {
    a.swap(b);
}
