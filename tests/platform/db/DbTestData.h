#pragma once

// Packets and providers shared by the data-set tests: a small resource
// table (key MB001, name MB002 in Chinese, factory MB003, capacity MB004,
// change counter FLAG) served by an in-memory provider.

#include <memory>
#include <string>
#include <vector>

#include "platform/db/ClientDataSet.h"
#include "platform/db/MemoryProvider.h"

namespace corvane::test {

std::vector<ColumnDef> resourceColumns();
// Rows R01..Rnn: name "资源n" (UTF-16), factory F1 or F2 by parity,
// capacity n * 1.5, FLAG 0.
MemoryProvider::Table resourceTable(int rows);
DataPacket resourcePacket(int rows);
// A provider "pvdMain" serving resourceTable(rows).
std::shared_ptr<MemoryProvider> resourceProvider(int rows);
// A client data set on that provider, opened with all rows.
void openOn(ClientDataSet& cds, const std::shared_ptr<MemoryProvider>& provider, int packetRecords = -1);

std::u16string wide(std::string_view gbk);

}  // namespace corvane::test
