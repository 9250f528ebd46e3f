#pragma once

#include "CError.h"
#include "CVisibleText.h"

#include <QHashFunctions>
#include <QString>

#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

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
//
// No add rebuilds the table. It grows by linear hashing: whenever it holds
// half as many items as buckets, it adds a bucket and splits the next old
// bucket in turn into it, twice per add, so a lookup meets half a node on
// average. Buckets live in segments of fixed size, so growing never moves
// them and allocates at most one small segment at a time.
template <class T> class KeyedCollection
{
    struct Node
    {
        Node(T objItem, const QString& strKey, size_t uHash)
            : muHash(uHash), mstrKey(strKey), mobjItem(std::move(objItem))
        {}
        // First, so that a lookup reads all it needs of the nodes it passes
        // from one cache line.
        std::unique_ptr<Node> mpChain; // the next node in the same bucket
        size_t muHash;
        QString mstrKey;
        Node* mpPrev = nullptr;
        Node* mpNext = nullptr;
        T mobjItem;
    };
    using Link = std::unique_ptr<Node>;
    static constexpr size_t kSegmentBits = 12;
    static constexpr size_t kSegmentSize = size_t(1) << kSegmentBits;

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
    {
        mlstSegments.push_back(std::make_unique<Link[]>(kSegmentSize));
    }
    // Frees the items newest first, the reverse of the order the allocator
    // handed out their memory, so that it hands it out again in that order;
    // bucket by bucket, in the random order of the hashes, would scatter
    // whatever is allocated next.
    ~KeyedCollection()
    {
        for (const auto& pSegment : mlstSegments)
            for (size_t uBucket = 0; uBucket < kSegmentSize; ++uBucket)
                for (Node* pNode = pSegment[uBucket].release(); pNode;
                     pNode = pNode->mpChain.release()) {
                }
        for (Node* pNode = mpLast; pNode;) {
            const Link pOwned(pNode);
            pNode = pNode->mpPrev;
        }
    }
    KeyedCollection(const KeyedCollection&) = delete;
    KeyedCollection& operator=(const KeyedCollection&) = delete;

    // Appends objItem under strKey. Fails, adding nothing, when the key is
    // empty or already present.
    void add(T objItem, const QString& strKey)
    {
        if (strKey.isEmpty())
            throw CError(mobjMessages.strEmptyKey);
        const size_t uHash = hash(strKey);
        if (*link(strKey, uHash))
            throw CError(mobjMessages.strRepeatedKey.arg(CVisibleText::Quoted(strKey)));
        auto pNode = std::make_unique<Node>(std::move(objItem), strKey, uHash);
        while (2 * size_t(mintCount) >= muRound + muSplit)
            splitBucket();
        pNode->mpPrev = mpLast;
        (mpLast ? mpLast->mpNext : mpFirst) = pNode.get();
        mpLast = pNode.get();
        Link& rBucket = bucket(uHash);
        pNode->mpChain = std::move(rBucket);
        rBucket = std::move(pNode);
        ++mintCount;
    }

    const T& item(const QString& strKey) const { return (*find(strKey))->mobjItem; }

    void remove(const QString& strKey)
    {
        Link& rLink = *find(strKey);
        Node* pNode = rLink.get();
        (pNode->mpPrev ? pNode->mpPrev->mpNext : mpFirst) = pNode->mpNext;
        (pNode->mpNext ? pNode->mpNext->mpPrev : mpLast) = pNode->mpPrev;
        rLink = std::move(pNode->mpChain);
        --mintCount;
    }

    bool contains(const QString& strKey) const { return *link(strKey, hash(strKey)) != nullptr; }

    int count() const noexcept { return mintCount; }

    Enumerator begin() const noexcept { return Enumerator(mpFirst); }
    Enumerator end() const noexcept { return Enumerator(); }

private:
    static size_t hash(const QString& strKey) { return std::hash<QString>()(strKey); }

    // Buckets below the split pointer have been split in this round, and so
    // are told apart by one more bit of the hash.
    Link& bucket(size_t uHash) const
    {
        size_t uIndex = uHash & (muRound - 1);
        if (uIndex < muSplit)
            uIndex = uHash & (2 * muRound - 1);
        return mlstSegments[uIndex >> kSegmentBits][uIndex & (kSegmentSize - 1)];
    }

    // The link that holds the node under strKey, or the empty one that ends
    // its bucket.
    Link* link(const QString& strKey, size_t uHash) const
    {
        Link* pLink = &bucket(uHash);
        while (*pLink && ((*pLink)->muHash != uHash || (*pLink)->mstrKey != strKey))
            pLink = &(*pLink)->mpChain;
        return pLink;
    }

    Link* find(const QString& strKey) const
    {
        Link* pLink = link(strKey, hash(strKey));
        if (!*pLink)
            throw CError(mobjMessages.strMissingKey.arg(CVisibleText::Quoted(strKey)));
        return pLink;
    }

    // Adds bucket muRound + muSplit, and moves into it the nodes of bucket
    // muSplit that the next bit of their hash sends there.
    void splitBucket()
    {
        const size_t uNew = muRound + muSplit;
        if ((uNew >> kSegmentBits) == mlstSegments.size())
            mlstSegments.push_back(std::make_unique<Link[]>(kSegmentSize));
        Link& rNew = mlstSegments[uNew >> kSegmentBits][uNew & (kSegmentSize - 1)];
        Link* pLink = &mlstSegments[muSplit >> kSegmentBits][muSplit & (kSegmentSize - 1)];
        while (*pLink) {
            if ((*pLink)->muHash & muRound) {
                Link pNode = std::exchange(*pLink, std::move((*pLink)->mpChain));
                pNode->mpChain = std::move(rNew);
                rNew = std::move(pNode);
            } else {
                pLink = &(*pLink)->mpChain;
            }
        }
        if (++muSplit == muRound) {
            muRound *= 2;
            muSplit = 0;
        }
    }

    KeyedCollectionMessages mobjMessages;
    std::vector<std::unique_ptr<Link[]>> mlstSegments;
    size_t muRound = 16; // buckets at the start of this round of splits
    size_t muSplit = 0;  // the next bucket to split; the buckets in use are muRound + muSplit
    int mintCount = 0;
    Node* mpFirst = nullptr;
    Node* mpLast = nullptr;
};
