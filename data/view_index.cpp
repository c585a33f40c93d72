#include "data/view_index.h"

#include "data/schema.h"

#include <algorithm>

namespace {

// 256 blocks of 1024 identities: at most 2 MB of identities per view, however far it is scrolled.
constexpr int MaxLoadedBlocks = 256;

} // namespace

ViewIndex::ViewIndex(BlockReader reader)
    : m_reader(std::move(reader))
{
}

qint64 ViewIndex::blockOf(qint64 id)
{
    return id >> Schema::IdBlockBits;
}

void ViewIndex::setBlockCounts(const QVector<std::pair<qint64, int>> &counts, CountReader counter)
{
    m_counter = std::move(counter);
    m_blocks.clear();
    m_count = 0;
    m_loaded = 0;
    for (const auto &[number, rows] : counts) {
        if (rows <= 0)
            continue;
        m_blocks.append(Block{number, rows, false, 0, {}});
        m_count += rows;
    }
    changed();
}

void ViewIndex::setIds(const QVector<qint64> &ids)
{
    m_counter = nullptr;
    m_blocks.clear();
    for (qint64 id : ids) {
        if (m_blocks.isEmpty() || m_blocks.last().number != blockOf(id))
            m_blocks.append(Block{blockOf(id), 0, true, 0, {}});
        m_blocks.last().ids.append(id);
        ++m_blocks.last().rows;
    }
    m_count = int(ids.size());
    m_loaded = int(m_blocks.size());
    changed();
}

int ViewIndex::blockIndex(qint64 number) const
{
    return int(std::lower_bound(m_blocks.begin(), m_blocks.end(), number,
                                [](const Block &b, qint64 n) { return b.number < n; }) -
               m_blocks.begin());
}

bool ViewIndex::holds(int index, qint64 number) const
{
    return index < m_blocks.size() && m_blocks.at(index).number == number;
}

void ViewIndex::changed()
{
    m_beforeStale = true;
}

void ViewIndex::updateBefore()
{
    if (!m_beforeStale)
        return;
    m_before.resize(m_blocks.size());
    int rows = 0;
    for (int i = 0; i < m_blocks.size(); ++i) {
        m_before[i] = rows;
        rows += m_blocks.at(i).rows;
    }
    m_beforeStale = false;
}

// The store is the truth: a block read again may hold other rows than its count said, when the
// table changed where this workstation could not see it.
ViewIndex::Block &ViewIndex::load(int index)
{
    Block &block = m_blocks[index];
    block.lastUse = ++m_uses;
    if (block.loaded)
        return block;
    if (m_loaded >= MaxLoadedBlocks)
        dropLeastUsed();
    const qint64 first = block.number << Schema::IdBlockBits;
    block.ids = m_reader(first, first + (qint64(1) << Schema::IdBlockBits) - 1);
    block.loaded = true;
    ++m_loaded;
    if (block.ids.size() != block.rows) {
        m_count += int(block.ids.size()) - block.rows;
        block.rows = int(block.ids.size());
        changed();
    }
    return block;
}

void ViewIndex::dropLeastUsed()
{
    QVector<quint64> uses;
    for (const Block &b : std::as_const(m_blocks)) {
        if (b.loaded)
            uses.append(b.lastUse);
    }
    const auto middle = uses.begin() + uses.size() / 2;
    std::nth_element(uses.begin(), middle, uses.end());
    const quint64 oldest = *middle;
    for (Block &b : m_blocks) {
        if (b.loaded && b.lastUse < oldest) {
            b.loaded = false;
            b.ids = {};
            --m_loaded;
        }
    }
}

qint64 ViewIndex::idAt(int position)
{
    // A block read for the first time may correct the counts; then the search is made again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (position < 0 || position >= m_count)
            return 0;
        updateBefore();
        const int index =
            int(std::upper_bound(m_before.begin(), m_before.end(), position) - m_before.begin()) - 1;
        const int before = m_before.at(index);
        const Block &block = load(index);
        if (!m_beforeStale && position - before < block.ids.size())
            return block.ids.at(position - before);
    }
    return 0;
}

int ViewIndex::countBelow(qint64 id)
{
    const int index = blockIndex(blockOf(id));
    int inBlock = 0;
    if (holds(index, blockOf(id))) {
        const Block &block = load(index);
        inBlock = int(std::lower_bound(block.ids.begin(), block.ids.end(), id) - block.ids.begin());
    }
    updateBefore();
    return (index < m_blocks.size() ? m_before.at(index) : m_count) + inBlock;
}

int ViewIndex::positionOf(qint64 id)
{
    const int index = blockIndex(blockOf(id));
    if (!holds(index, blockOf(id)))
        return -1;
    const Block &block = load(index);
    const auto found = std::lower_bound(block.ids.begin(), block.ids.end(), id);
    if (found == block.ids.end() || *found != id)
        return -1;
    updateBefore();
    return m_before.at(index) + int(found - block.ids.begin());
}

// A block whose identities are not held needs only its count: reading it from the store costs one
// row, where reading its identities to place one row would cost a thousand.
void ViewIndex::rowChanged(qint64 id, bool inView)
{
    const qint64 number = blockOf(id);
    const int index = blockIndex(number);
    if (m_counter && !(holds(index, number) && m_blocks.at(index).loaded))
        recount(index, number);
    else if (inView)
        insert(id);
    else
        remove(id);
}

void ViewIndex::recount(int index, qint64 number)
{
    const int rows = m_counter(number);
    if (!holds(index, number)) {
        if (rows > 0) {
            m_blocks.insert(index, Block{number, rows, false, 0, {}});
            m_count += rows;
            changed();
        }
        return;
    }
    Block &block = m_blocks[index];
    m_count += rows - block.rows;
    block.rows = rows;
    if (rows == 0)
        m_blocks.removeAt(index);
    changed();
}

void ViewIndex::insert(qint64 id)
{
    const int index = blockIndex(blockOf(id));
    if (!holds(index, blockOf(id))) {
        m_blocks.insert(index, Block{blockOf(id), 1, true, ++m_uses, {id}});
        ++m_loaded;
        ++m_count;
        changed();
        return;
    }
    Block &block = load(index);
    const auto found = std::lower_bound(block.ids.begin(), block.ids.end(), id);
    if (found != block.ids.end() && *found == id)
        return;
    block.ids.insert(found, id);
    ++block.rows;
    ++m_count;
    changed();
}

void ViewIndex::remove(qint64 id)
{
    const int index = blockIndex(blockOf(id));
    if (!holds(index, blockOf(id)))
        return;
    Block &block = load(index);
    const auto found = std::lower_bound(block.ids.begin(), block.ids.end(), id);
    if (found == block.ids.end() || *found != id)
        return;
    block.ids.erase(found);
    --block.rows;
    --m_count;
    if (block.rows == 0) {
        m_blocks.removeAt(index);
        --m_loaded;
    }
    changed();
}

qint64 ViewIndex::bytes() const
{
    qint64 total = sizeof(*this) + m_blocks.capacity() * qint64(sizeof(Block)) +
                   m_before.capacity() * qint64(sizeof(int));
    for (const Block &b : m_blocks)
        total += b.ids.capacity() * qint64(sizeof(qint64));
    return total;
}
