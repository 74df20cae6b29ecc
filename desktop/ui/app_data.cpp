#include "ui/app_data.h"

#include "import/reader.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

void AppData::ReleaseTransfers() {
    reader.reset();
    writer.reset();
    earlierReader.reset();
}

AppData& GetAppData() {
    static AppData data;
    return data;
}
