#include "DbTestData.h"

#include <cstdio>

#include "platform/core/CodePage.h"

namespace corvane::test {

std::u16string wide(std::string_view gbk) { return codePageToUtf16(gbk); }

std::vector<ColumnDef> resourceColumns() {
    return {
        ColumnDef{"MB001", FieldType::String, 10, 0, 0, cfKey, {}},
        ColumnDef{"MB002", FieldType::String, 20, 0, 0, 0, {}},
        ColumnDef{"MB003", FieldType::String, 6, 0, 0, 0, {}},
        ColumnDef{"MB004", FieldType::Float, 0, 0, 0, 0, {}},
        ColumnDef{"FLAG", FieldType::Float, 0, 0, 0, 0, {}},
    };
}

MemoryProvider::Table resourceTable(int rows) {
    MemoryProvider::Table table;
    table.columns = resourceColumns();
    for (int i = 1; i <= rows; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "R%02d", i);
        table.rows.push_back(RowValues{Variant(wide(key)), Variant(wide("资源" + std::to_string(i))),
                                       Variant(wide(i % 2 ? "F1" : "F2")), Variant(i * 1.5), Variant(0.0)});
    }
    return table;
}

DataPacket resourcePacket(int rows) {
    MemoryProvider::Table table = resourceTable(rows);
    return DataPacket{table.columns, table.rows, true};
}

std::shared_ptr<MemoryProvider> resourceProvider(int rows) {
    auto provider = std::make_shared<MemoryProvider>();
    provider->addProvider("pvdMain", resourceTable(rows));
    return provider;
}

void openOn(ClientDataSet& cds, const std::shared_ptr<MemoryProvider>& provider, int packetRecords) {
    cds.setProviderConnection(provider);
    cds.setProviderName("pvdMain");
    cds.setPacketRecords(packetRecords);
    cds.open();
}

}  // namespace corvane::test
