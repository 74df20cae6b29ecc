#include "demo_document.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <cmath>

namespace {
constexpr int kMaxRows = 100000;
}

const QStringList& CDemoDocument::Kinds() {
    static const QStringList kinds = {QStringLiteral("Clean"), QStringLiteral("Crunch"),
                                      QStringLiteral("Lead"), QStringLiteral("Acoustic"),
                                      QStringLiteral("Bass")};
    return kinds;
}

bool CDemoDocument::OnNewDocument() {
    if (!CMDIDocument::OnNewDocument()) return false;
    for (int i = 0; i < 40; ++i) {
        CDemoRow row;
        row.name = QStringLiteral("Patch %1").arg(i + 1);
        row.kind = Kinds().at(i % Kinds().size());
        row.level = (i * 37) % 128;
        row.gain = ((i * 7) % 25 - 12) / 2.0;
        rows_.push_back(row);
    }
    rows_[3].name = QStringLiteral("A rather long patch name that does not fit its column");
    return true;
}

bool CDemoDocument::OnOpenDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    std::vector<CDemoRow> rows;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine(4096).split(QLatin1Char('\t'));
        if (fields.size() != 4 || static_cast<int>(rows.size()) >= kMaxRows) return false;
        bool levelOk = false, gainOk = false;
        CDemoRow row{fields[0], fields[1], fields[2].toDouble(&levelOk), fields[3].toDouble(&gainOk)};
        if (!levelOk || !gainOk || !std::isfinite(row.level) || !std::isfinite(row.gain)) return false;
        rows.push_back(row);
    }
    rows_ = std::move(rows);
    SetModifiedFlag(false);
    return true;
}

bool CDemoDocument::OnSaveDocument(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream out(&file);
    for (const CDemoRow& row : rows_) {
        QString name = row.name;
        out << name.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '))
            << '\t' << row.kind << '\t' << row.level << '\t' << row.gain << '\n';
    }
    out.flush();
    if (!file.commit()) return false;
    SetModifiedFlag(false);
    return true;
}
