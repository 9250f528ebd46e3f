#pragma once

#include "CError.h"
#include "CVisibleText.h"

#include <QHashFunctions>
#include <QString>

#include <cstddef>
#include <iterator>
#include <unordered_map>
#include <utility>

// The wording of a collection's failures. "%1" stands for the key, as a
// message quotes it (CVisibleText::Quoted).
struct KeyedCollectionMessages
{
    QString strRepeatedKey;
    QString strMissingKey;
    QString strEmptyKey;
};

// Items kept under unique, non-empty text keys, in the order they were added.
// Keys compare exactly (letter case matters). add, item and remove cost one
// hash lookup each: the items are threaded on a doubly linked list through
// the hash table's own nodes, which never move, so the order of addition
// needs no second container and a removal never scans.
template <class T> class KeyedCollection
{
    struct Node
    {
        explicit Node(T objItem) : mobjItem(std::move(objItem)) {}
        T mobjItem;
        Node* mpPrev = nullptr;
        Node* mpNext = nullptr;
    };

public:
    class Enumerator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        Enumerator() = default;
        reference operator*() const { return mpNode->mobjItem; }
        pointer operator->() const { return &mpNode->mobjItem; }
        Enumerator& operator++()
        {
            mpNode = mpNode->mpNext;
            return *this;
        }
        Enumerator operator++(int)
        {
            Enumerator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const Enumerator&) const = default;

    private:
        friend class KeyedCollection;
        explicit Enumerator(const Node* pNode) : mpNode(pNode) {}
        const Node* mpNode = nullptr;
    };

    explicit KeyedCollection(KeyedCollectionMessages objMessages)
        : mobjMessages(std::move(objMessages))
    {}
    KeyedCollection(const KeyedCollection&) = delete;
    KeyedCollection& operator=(const KeyedCollection&) = delete;

    // Appends objItem under strKey. Fails, adding nothing, when the key is
    // empty or already present.
    void add(T objItem, const QString& strKey)
    {
        if (strKey.isEmpty())
            throw CError(mobjMessages.strEmptyKey);
        auto [it, bInserted] = mmapNodes.try_emplace(strKey, std::move(objItem));
        if (!bInserted)
            throw CError(mobjMessages.strRepeatedKey.arg(CVisibleText::Quoted(strKey)));
        Node* pNode = &it->second;
        pNode->mpPrev = mpLast;
        (mpLast ? mpLast->mpNext : mpFirst) = pNode;
        mpLast = pNode;
    }

    const T& item(const QString& strKey) const { return find(strKey)->second.mobjItem; }

    void remove(const QString& strKey)
    {
        auto it = find(strKey);
        Node* pNode = &it->second;
        (pNode->mpPrev ? pNode->mpPrev->mpNext : mpFirst) = pNode->mpNext;
        (pNode->mpNext ? pNode->mpNext->mpPrev : mpLast) = pNode->mpPrev;
        mmapNodes.erase(it);
    }

    bool contains(const QString& strKey) const { return mmapNodes.contains(strKey); }

    int count() const noexcept { return static_cast<int>(mmapNodes.size()); }

    Enumerator begin() const noexcept { return Enumerator(mpFirst); }
    Enumerator end() const noexcept { return Enumerator(); }

private:
    using Map = std::unordered_map<QString, Node>;

    typename Map::iterator find(const QString& strKey)
    {
        auto it = mmapNodes.find(strKey);
        if (it == mmapNodes.end())
            throw CError(mobjMessages.strMissingKey.arg(CVisibleText::Quoted(strKey)));
        return it;
    }
    typename Map::const_iterator find(const QString& strKey) const
    {
        return const_cast<KeyedCollection*>(this)->find(strKey);
    }

    KeyedCollectionMessages mobjMessages;
    Map mmapNodes;
    Node* mpFirst = nullptr;
    Node* mpLast = nullptr;
};
