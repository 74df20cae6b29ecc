#include "gp/util/settings_catalog.h"

#include <QDir>
#include <QFileInfo>

#include "settings/settings_store.h"

namespace Profile {

namespace {

const char kOption[] = "Option";
const char kWindow[] = "Window";

}  // namespace

int CIntValue::Read(const ISettingsStore* store) const {
    return store ? store->GetInt(section, name, fallback) : fallback;
}

void CIntValue::Write(ISettingsStore* store, int value) const {
    if (store) store->WriteInt(section, name, value);
}

QString CTextValue::Read(const ISettingsStore* store) const {
    return QString::fromStdString(store ? store->GetString(section, name, fallback) : fallback);
}

void CTextValue::Write(ISettingsStore* store, const QString& value) const {
    if (store) store->WriteString(section, name, value.toStdString());
}

bool CTextValue::IsStored(const ISettingsStore* store) const {
    return store && store->Contains(section, name);
}

const CIntValue kGridSw{kOption, "GridSw", 0};
const CIntValue kMode{kOption, "Mode", 1};
const CIntValue kVerifyWrite{kOption, "VerifyWrite", 0};
const CIntValue kHistoryCount{kOption, "HistoryCount", 100};
const CFontValue kListFont{
    {kOption, "FontFaceName", ""}, {kOption, "FontAttribute", ""}, {kOption, "FontColor", 0}};

const CIntValue& ConfirmationSwitch(int kind) {
    static const CIntValue switches[] = {{kOption, "ReadUser", 0},
                                         {kOption, "WriteUser", 0},
                                         {kOption, "ReadTemporary", 0},
                                         {kOption, "WriteTemporary", 0},
                                         {kOption, "ImportSMF", 0}};
    return switches[kind >= 0 && kind < static_cast<int>(std::size(switches)) ? kind : 0];
}

const CIntValue kCollect{kOption, "Collect", 1};
const CIntValue kAudition{kOption, "Audition", 0};
const CTextValue kPedalPort{"AuditionControls", "InPort", ""};
const CPedalValues kPedalNext{{"AuditionControls", "NextKind", 0},
                              {"AuditionControls", "NextNumber", 0},
                              {"AuditionControls", "NextChannel", -1}};
const CPedalValues kPedalPrevious{{"AuditionControls", "PreviousKind", 0},
                                  {"AuditionControls", "PreviousNumber", 0},
                                  {"AuditionControls", "PreviousChannel", -1}};
const CTextValue kCollectionColumnWidths{"Collection", "ColumnWidth", ""};
const CTextValue kCollectionFolder{"Collection", "InitialDirectory", ""};
const CIntValue kCollectionHistoryAdded{"Collection", "HistoryAdded", 0};

const CTextValue kDocumentFolder{"Document", "InitialDirectory", ""};
const CIntValue kDocumentFilter{"Document", "InitialFilterIndex", 0};
const CTextValue kSmfFolder{"SMF", "InitialDirectory", ""};
const CTextValue kSmfFileName{"SMF", "InitialFileName", "Untitled.mid"};
const CIntValue kSmfFilter{"SMF", "InitialFilterIndex", 0};
const CTextValue kSyxFolder{"SysEx", "InitialDirectory", ""};
const CTextValue kSyxFileName{"SysEx", "InitialFileName", "Untitled.syx"};
const CIntValue kSyxFilter{"SysEx", "InitialFilterIndex", 0};

namespace {
const char* const kEarlierSections[] = {"TQ-MAX", "TQ-4M", "TQ-2"};
int EarlierIndex(int kind) {
    return kind >= 0 && kind < 3 ? kind : 0;
}
}  // namespace

const CTextValue& EarlierFolder(int kind) {
    static const CTextValue folders[] = {{kEarlierSections[0], "InitialDirectory", ""},
                                         {kEarlierSections[1], "InitialDirectory", ""},
                                         {kEarlierSections[2], "InitialDirectory", ""}};
    return folders[EarlierIndex(kind)];
}

const CTextValue& EarlierFileName(int kind) {
    static const CTextValue files[] = {{kEarlierSections[0], "InitialFile", ""},
                                       {kEarlierSections[1], "InitialFile", ""},
                                       {kEarlierSections[2], "InitialFile", ""}};
    return files[EarlierIndex(kind)];
}

const CTextValue kColumnWidths{"PatchListCtrl", "ColumnWidth", ""};

const CTextValue kFramePosition{kWindow, "Position", "0,0,800,600"};
const CIntValue kFrameMaximized{kWindow, "Maximized", 0};

CTextValue ChildPosition(int windowType) {
    return {kWindow, "Position" + std::to_string(windowType), ""};
}

const CTextValue kWindowListDialogRect{kWindow, "WindowListDialogSize", ""};
const CTextValue kBarState{"ControlBar", "BarState", ""};
const CTextValue kBarVersion{"Version", "FileVersion", ""};
const std::string kRecentFileSection = "Recent File List";
const QString kRecentFileEntry = QStringLiteral("File%1");

void RememberFolder(ISettingsStore* store, const CTextValue& folder, const QString& path) {
    QString absolute = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    if (!absolute.endsWith(QDir::separator())) absolute += QDir::separator();
    folder.Write(store, absolute);
}

}  // namespace Profile
