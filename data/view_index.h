#pragma once

#include <QVector>

#include <functional>

// The row identities of a view in ascending order, kept as blocks of 1024 consecutive identities
// with the number of the view's rows in each. Counting, finding the row at a position and the
// position of a row cost a search over the blocks and one block's identities, whatever the size of
// the table. A block's identities are read from the store when first needed; past a bound the
// least recently used are dropped again and only their counts kept.
class ViewIndex
{
public:
    // The view's identities from `first` to `last`, in ascending order.
    using BlockReader = std::function<QVector<qint64>(qint64 first, qint64 last)>;
    // The view's rows in a block, when the store keeps that count (views of a whole table).
    using CountReader = std::function<int(qint64 block)>;

    explicit ViewIndex(BlockReader reader);

    // The view's rows per block (block number, rows), ascending; identities read when needed, and
    // the count of a block whose identities are not held read again when one of its rows changes.
    void setBlockCounts(const QVector<std::pair<qint64, int>> &counts, CountReader counter);
    // Every identity of the view, ascending.
    void setIds(const QVector<qint64> &ids);

    int count() const { return m_count; }
    qint64 idAt(int position); // 0 outside the view
    int positionOf(qint64 id); // -1 when the row is not in the view
    int countBelow(qint64 id); // rows of the view before `id`, whether `id` is in it or not
    // Row `id` changed and now is, or is not, in the view.
    void rowChanged(qint64 id, bool inView);

    // Memory held, for the figures of the benchmark.
    qint64 bytes() const;

    static qint64 blockOf(qint64 id);

private:
    struct Block
    {
        qint64 number = 0;
        int rows = 0;
        bool loaded = false;
        quint64 lastUse = 0;
        QVector<qint64> ids; // when loaded
    };

    int blockIndex(qint64 number) const; // lower bound in m_blocks
    bool holds(int index, qint64 number) const;
    Block &load(int index);
    void insert(qint64 id);
    void remove(qint64 id);
    void recount(int index, qint64 number);
    void changed();
    void updateBefore();
    void dropLeastUsed();

    BlockReader m_reader;
    CountReader m_counter;
    QVector<Block> m_blocks; // ascending, each with at least one row
    QVector<int> m_before;   // rows of the view before each block
    bool m_beforeStale = false;
    int m_count = 0;
    int m_loaded = 0;
    quint64 m_uses = 0;
};
