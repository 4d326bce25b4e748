#include "RGNDataStore.h"

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

RGNRecord* RGNDataStore::record(int32_t position)
{
    if (position < 0 || position >= size()) {
        return nullptr;
    }
    return m_records[static_cast<size_t>(position)].get();
}
