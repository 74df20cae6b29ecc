#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "collection/sound.h"

class CAppContext;
class CDoc;
class QPushButton;
class QTreeWidget;
namespace GP {
class CDocTemplate;
}

// Where Seen: every sighting of one sound, most recent first: where (the file's path, or the TQ-550), the
// patch there (its position, or its slot), what kind of place it is, the first memo seen there and the first
// and last time. Open (or a double-click) ends the dialog with a sighting that has a file.
class CWhereSeenDialog : public QDialog {
    Q_OBJECT

  public:
    CWhereSeenDialog(const QString& name, std::vector<Sighting> sightings, const CAppContext& context,
                     QWidget* parent = nullptr);

    QTreeWidget* List() const { return list_; }
    QPushButton* OpenButton() const { return open_; }
    const std::vector<Sighting>& Sightings() const { return sightings_; }
    // The sighting chosen when the dialog ended with Open.
    std::optional<Sighting> Chosen() const { return chosen_; }
    // How the kind of a sighting reads: "Library", "Import (syx)", "Read from the TQ-550", "Device History".
    static QString KindText(const Sighting& sighting);

  private:
    void UpdateOpen();

    std::vector<Sighting> sightings_;
    QTreeWidget* list_;
    QPushButton* open_;
    std::optional<Sighting> chosen_;
};

// Opens the file of a sighting at its patch: a library file in its window (the one open already, or a new
// one), an import or a history entry as a new library window as their commands open them; the patch at the
// sighting's position is selected. The document, or none when the file could not be opened (its message
// waits in the buffering sink) or the sighting has no file.
CDoc* OpenSighting(CAppContext& context, GP::CDocTemplate* library, const Sighting& sighting);
