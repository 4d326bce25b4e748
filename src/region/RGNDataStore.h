#pragma once

#include "RGNRecord.h"

#include <cstdint>
#include <memory>
#include <vector>

// The records of the shapes built at run time: the record of region number s sits at
// position s - 10. The store grows as numbers are built (new records are all zero),
// and gives back the records of numbers that are given back; it lives as long as the
// program.
class RGNDataStore
{
public:
    static RGNDataStore& instance();

    int32_t size() const { return static_cast<int32_t>(m_records.size()); }
    // Makes `lastPosition` the last position, keeping every record; never shrinks.
    void growTo(int32_t lastPosition);
    // Empties the record at a position (a new all-zero record), then drops the
    // records after `lastKept`.
    void release(int32_t position, int32_t lastKept);
    // The record at a position, or nullptr outside the store.
    RGNRecord* record(int32_t position);

    // Empties the store (for tests that need a fresh program state).
    void clear() { m_records.clear(); }

private:
    std::vector<std::unique_ptr<RGNRecord>> m_records;
};
