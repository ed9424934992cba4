// Entry pools: a dropped list's memory goes to the next list of the same pool, also across
// threads, and entries from the process heap and from pools mix freely.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "monitor/monitor_entry.h"

namespace {

using monitor::EntryPool;
using monitor::MonitorEntry;
using monitor::MonitorList;

std::set<const MonitorEntry*> Addresses(const MonitorList& list) {
    std::set<const MonitorEntry*> addresses;
    for (const auto& entry : list)
        addresses.insert(entry.get());
    return addresses;
}

void Fill(MonitorList& list, EntryPool& pool, int count, const char* server) {
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<MonitorEntry> entry(new (pool, std::nothrow) MonitorEntry);
        ASSERT_TRUE(entry);
        entry->serverName = server;
        entry->record.SetObjectName("C:", ("\\Data" + std::to_string(i)).c_str());
        list.push_back(std::move(entry));
    }
}

TEST(EntryPool, AListMadeOnAnotherThreadReusesTheMemoryOfTheListDropped) {
    constexpr int kCount = 3000; // several of the pool's chunks
    EntryPool pool;
    MonitorList first;
    Fill(first, pool, kCount, "FIRST");
    const std::set<const MonitorEntry*> firstBlocks = Addresses(first);
    ASSERT_EQ(size_t{kCount}, firstBlocks.size());
    first.clear();

    MonitorList second;
    std::thread([&] { Fill(second, pool, kCount, "A-SERVER-NAME-LONGER-THAN-SHORT"); }).join();
    EXPECT_EQ(firstBlocks, Addresses(second));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ("A-SERVER-NAME-LONGER-THAN-SHORT", second[i]->serverName);
        EXPECT_STREQ(("C:\\Data" + std::to_string(i)).c_str(), second[i]->record.GetMappedName(0));
    }

    // Entries beyond the dropped list's number take new memory; plain entries take none of it.
    MonitorList plain;
    plain.push_back(std::make_unique<MonitorEntry>());
    Fill(second, pool, 10, "MORE");
    EXPECT_EQ(0u, firstBlocks.count(plain.front().get()));
    EXPECT_EQ(size_t{kCount + 10}, Addresses(second).size());
    std::thread([&] { second.clear(); }).join();
}

} // namespace
