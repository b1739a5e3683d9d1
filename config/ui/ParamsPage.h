#pragma once

// The "Параметры" page: the parameter tree and the four buttons that move the
// whole parameter set between the tree, parameter files and the controller.

#include "config/ConfigImage.h"

#include <QDateTime>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

class QPushButton;
class QProgressBar;

namespace gencfg {

class ChangeListDialog;
class DeviceLink;
class Messages;
class ParamModel;
class ParamTreeView;
class UnwrittenChanges;

class ParamsPage : public QWidget
{
    Q_OBJECT
public:
    explicit ParamsPage(ParamModel &model, QWidget *parent = nullptr);

    // The window's link and message boxes; the buttons do nothing until attached.
    void attach(DeviceLink &link, Messages &messages);

    // The image of the controller's configuration memory that the four buttons move.
    const ConfigImageBytes &ConfigImage() const { return m_image; }
    void setConfigImage(const ConfigImageBytes &image) { m_image = image; }

    ChangeListDialog *changeList() const { return m_changeList; }
    // The edits not yet written; set once attached.
    UnwrittenChanges &unwrittenChanges() const { return *m_unwritten; }
    // Writes the tree as "Записать" does, without the change list, and tells then whether it was proven.
    void write(const std::function<void(bool proven)> &then);

    // What reads or writes the device, for the window's enabling rule.
    QList<QWidget *> deviceControls() const;
    // What reaches the controller: off while no port is open.
    QList<QWidget *> controllerControls() const;
    // The tree row the user chose; -1 for none.
    int selectedNode() const;
    // Where the value dialog of the selected row goes, whether a double click or a key asked for it.
    QPoint selectedValuePoint() const;

Q_SIGNALS:
    // The text of the status bar's transfer panel; empty when no transfer runs.
    void progressText(const QString &text);
    // An image just written to or read from the device, for the gauges' alarm sections.
    void thresholdsChanged(const gencfg::ConfigImageBytes &image);
    // A parameter file was written under this name.
    void saved(const QString &fileName);
    // A double click on a row of the tree.
    void paramActivated();
    // The controller's whole parameter set, read, or written and proven by reading it back.
    void deviceRead(const gencfg::ConfigImageBytes &image);
    void writeProven(const gencfg::ConfigImageBytes &readBack, const QDateTime &provenAt);
    // "История" or "Отчёт" was pressed.
    void historyRequested();
    void fleetRequested();
    void reportRequested();

private Q_SLOTS:
    void saveToFile();     // save to a parameter file
    void openFile();       // open a parameter file
    void confirmWrite();   // "Записать": the change list first, unless the settings turn it off
    void writeToDevice();  // write to the device
    void readFromDevice(); // read from the device
    // "Изменения": the rows that differ from the controller's values.
    void showChanges();

private:
    // Registers every control with the page's layout, at its design place and with its rule.
    void placeControls();

    ParamTreeView *m_paramTree = nullptr;
    QPushButton *m_saveButton = nullptr;    // "Сохранить"
    QPushButton *m_openButton = nullptr;    // "Открыть"
    QPushButton *m_writeButton = nullptr;   // "Записать"
    QPushButton *m_readButton = nullptr;    // "Прочитать"
    QPushButton *m_changesButton = nullptr; // "Изменения"
    QPushButton *m_historyButton = nullptr; // "История"
    QPushButton *m_fleetButton = nullptr;   // "Парк"
    QPushButton *m_reportButton = nullptr;  // "Отчёт"
    QProgressBar *m_progressBar = nullptr;

    bool encodeTree(ConfigImageBytes &image);
    // False, after saying which rows, while any value lies outside its limits.
    bool valuesWithinLimits();
    void beginTransfer(const QString &text);
    void endTransfer();
    void showTransferFailure(const std::function<void()> &seen = {});
    void showProgress(int done, int total);
    void openFileNow();
    void openChosenFile(const QString &path);
    // A write ended; proven when the controller gave back what was written.
    void writeEnded(bool proven);

    ParamModel &m_model;
    DeviceLink *m_link = nullptr;
    ConfigImageBytes m_image{};
    Messages *m_messages = nullptr;
    ChangeListDialog *m_changeList = nullptr;
    UnwrittenChanges *m_unwritten = nullptr;
    std::function<void(bool proven)> m_afterWrite;
};

} // namespace gencfg
