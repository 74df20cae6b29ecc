#include "ui/app_data.h"

#include "import/reader.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

void AppData::ReleaseTransfers() {
    reader.reset();
    writer.reset();
    earlierReader.reset();
}

void AppData::Clear() {
    ReleaseTransfers();
    clipboard_.GetArray().RemoveAll();
    mode = 1;
    gridSw = 0;
    settings = nullptr;
    textOut = nullptr;
    environment = nullptr;
    initial = std::make_shared<CInitialFileDocument>();
    memoCodec.SetLanguage(0);
    listFont = GP::CFontEx();
    useStoredPositions = false;
    mainView = nullptr;
    transfers = 0;
}

AppData& GetAppData() {
    static AppData data;
    return data;
}
