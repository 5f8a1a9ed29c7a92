#pragma once
// "Download to several ports...": the ports with check boxes, then one
// progress bar per chosen port while the combination goes into all of them at
// once (download::GangDownload), with Cancel for all, and each port's result.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/operation_host.h"
#include "download/gang_download.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace brindle::app {

class GangDownloadDialog : public QDialog {
    Q_OBJECT
  public:
    // Makes the gang (not yet started) for the chosen ports.
    using GangMaker =
        std::function<std::unique_ptr<download::GangDownload>(const std::vector<std::string>&)>;

    GangDownloadDialog(const std::string& combination, const std::vector<std::string>& ports,
                       GangMaker makeGang, QWidget* parent = nullptr);
    // Cancels a gang still running and waits for its lines.
    ~GangDownloadDialog() override;

    // Waits for every line of the running gang, then shows how each ended.
    void waitForGang();

    // The controls, by their control names.
    QListWidget* GangPorts = nullptr;
    QPushButton* GangStart = nullptr;
    QTableWidget* GangTable = nullptr;
    QPushButton* GangCancel = nullptr;
    QPushButton* GangClose = nullptr;
    QLabel* GangSummary = nullptr;

  protected:
    void reject() override;

  private:
    void onGangStartClicked();
    void onGangCancelClicked();
    // Shows the snapshots; once every line has ended, the results.
    void refresh();
    void showResults();

    GangMaker m_makeGang;
    std::unique_ptr<download::GangDownload> m_gang;
    std::vector<QProgressBar*> m_bars;
    bool m_resultsShown = false;
};

// "Download to several ports...": plans the chosen combination (a message and
// nothing more when none is chosen or it cannot be downloaded), then shows the
// dialog over the system's serial ports, each line at the window's speed.
// While it is open the window's own line has let go of its device (which
// the dialog may offer) and counts as a running operation.
void openGangDownload(QWidget* parent, OperationHost& host,
                      const std::optional<std::string>& combination, int combinationCount);

}  // namespace brindle::app
