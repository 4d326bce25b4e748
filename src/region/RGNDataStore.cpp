#include "RGNDataStore.h"

#include <algorithm>

RGNDataStore& RGNDataStore::instance()
{
    static RGNDataStore store;
    return store;
}

void RGNDataStore::growTo(int32_t lastPosition)
{
    while (size() <= lastPosition) {
        m_records.push_back(std::make_unique<RGNRecord>());
    }
}

void RGNDataStore::release(int32_t position, int32_t lastKept)
{
    if (position >= 0 && position < size()) {
        m_records[static_cast<size_t>(position)] = std::make_unique<RGNRecord>();
    }
    while (size() > std::max(lastKept + 1, 0)) {
        m_records.pop_back();
    }
}

RGNRecord* RGNDataStore::record(int32_t position)
{
    if (position < 0 || position >= size()) {
        return nullptr;
    }
    return m_records[static_cast<size_t>(position)].get();
}
