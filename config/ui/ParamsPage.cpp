#include "config/ui/ParamsPage.h"

#include "config/ConfigTransfer.h"
#include "config/ParamChanges.h"
#include "config/ParamFile.h"
#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/ui/ChangeListDialog.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/UnwrittenChanges.h"
#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "widgets/ButtonShortcuts.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"
#include "widgets/PortGuard.h"
#include "widgets/SaveFileDialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <algorithm>

namespace gencfg {

namespace {

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    return button;
}

using Frame = PageLayout::Frame;

// A workshop that writes the same set all day turns the change list off: [window] confirm_write=false.
bool ConfirmsWrite()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gencfg"),
                             QStringLiteral("gencfg"));
    return settings.value(QStringLiteral("window/confirm_write"), true).toBool();
}

} // namespace

ParamsPage::ParamsPage(ParamModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("paramsPage"));
    m_paramTree = new ParamTreeView(this);
    m_paramTree->setObjectName(QStringLiteral("paramTree"));
    m_paramTree->setModel(&model);
    m_saveButton = makeButton(this, "saveButton", tr("&Сохранить"));
    m_openButton = makeButton(this, "openButton", tr("&Открыть"));
    m_writeButton = makeButton(this, "writeButton", tr("&Записать"));
    m_readButton = makeButton(this, "readButton", tr("&Прочитать"));
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->hide();
    // Above the tree's right end; usable once the controller's values are known.
    m_changesButton = makeButton(this, "changesButton", tr("Изменения"));
    m_changesButton->setEnabled(false);
    connect(&model, &ParamModel::changesUpdated, this,
            [this] { m_changesButton->setEnabled(m_model.baseline().has_value()); });
    connect(m_changesButton, &QPushButton::clicked, this, &ParamsPage::showChanges);
    // Beside it, what the archive keeps of this and other controllers.
    m_historyButton = makeButton(this, "historyButton", tr("История"));
    connect(m_historyButton, &QPushButton::clicked, this, &ParamsPage::historyRequested);
    m_reportButton = makeButton(this, "reportButton", tr("Отчёт"));
    connect(m_reportButton, &QPushButton::clicked, this, &ParamsPage::reportRequested);
    m_fleetButton = makeButton(this, "fleetButton", tr("Парк"));
    connect(m_fleetButton, &QPushButton::clicked, this, &ParamsPage::fleetRequested);

    connect(m_saveButton, &QPushButton::clicked, this, &ParamsPage::saveToFile);
    connect(m_openButton, &QPushButton::clicked, this, &ParamsPage::openFile);
    connect(m_writeButton, &QPushButton::clicked, this, &ParamsPage::confirmWrite);
    connect(m_readButton, &QPushButton::clicked, this, &ParamsPage::readFromDevice);
    connect(m_paramTree, &QAbstractItemView::doubleClicked, this, &ParamsPage::paramActivated);
    connect(m_paramTree, &ParamTreeView::editRequested, this, &ParamsPage::paramActivated);
    // A key for an action that needs a controller, pressed without a port, says so.
    const auto noPort = [this] {
        if (m_link)
            PortChosen(*m_link, m_messages);
    };
    AddButtonShortcuts(m_readButton, {Qt::Key_F5, QKeySequence(Qt::CTRL | Qt::Key_R)}, noPort);
    AddButtonShortcuts(m_writeButton, {QKeySequence(Qt::CTRL | Qt::Key_W)}, noPort);
    AddButtonShortcuts(m_saveButton, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddButtonShortcuts(m_openButton, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    placeControls();
}

void ParamsPage::placeControls()
{
    auto *layout = new PageLayout(this);
    layout->add(m_paramTree, {0, 24, 787, 449}, [](const Frame &f, const QRect &r) {
        return QRect(r.topLeft(), QSize(f.W - 14, f.H - PageLayout::StatusBarHeight - 86));
    });
    // The bottom row: two buttons at the left, two at the right edge, the progress bar centred between.
    auto bottomRow = [](int left) {
        return [left](const Frame &f, const QRect &r) {
            return QRect({left, f.bottomRowTop(r.height())}, r.size());
        };
    };
    layout->add(m_saveButton, {3, 480, 100, 41}, bottomRow(3));
    layout->add(m_openButton, {109, 480, 100, 41}, bottomRow(109));
    auto fromRight = [](int right, int top) {
        return [right, top](const Frame &f, const QRect &r) {
            return QRect({f.W - right - r.width(), top < 0 ? f.bottomRowTop(r.height()) : top}, r.size());
        };
    };
    // Each button keeps 14 pixels to the right edge, and 5 to the next one.
    const int read = 14;
    const int write = read + 100 + 5;
    layout->add(m_writeButton, {582, 480, 100, 41}, fromRight(write, -1));
    layout->add(m_readButton, {689, 480, 100, 41}, fromRight(read, -1));
    // The row over the tree keeps to the right edge, over the two buttons at the bottom right.
    layout->add(m_changesButton, {689, 0, 100, 23}, fromRight(read, 0));
    layout->add(m_historyButton, {582, 0, 100, 23}, fromRight(write, 0));
    layout->add(m_reportButton, {475, 0, 100, 23}, fromRight(2 * write - read, 0));
    // The fourth button of that row stays on the page when the window is narrow.
    layout->add(m_fleetButton, {368, 0, 100, 23},
                [right = 3 * write - 2 * read](const Frame &f, const QRect &r) {
                    return QRect({std::max(0, f.W - right - r.width()), 0}, r.size());
                });
    layout->add(m_progressBar, {232, 488, 329, 29}, [](const Frame &f, const QRect &r) {
        const int width = RoundHalfEven(f.W / 2.0) - 60;
        return QRect(RoundHalfEven(f.W / 2.0 - width / 2.0) - 10, f.bottomRowTop(r.height()), width,
                     r.height());
    });
}

void ParamsPage::attach(DeviceLink &link, Messages &messages)
{
    m_link = &link;
    m_messages = &messages;
    m_unwritten = new UnwrittenChanges(
        m_model, messages, [this](const std::function<void(bool)> &then) { write(then); }, this);
    m_unwritten->setWritable([this] { return !m_link->busy() && m_link->transport().isOpen(); });
}

bool ParamsPage::encodeTree(ConfigImageBytes &image)
{
    // An empty or partial tree codes the parameters it lacks as 0xFF.
    if (!CatalogueInTree(m_model)) {
        m_messages->error(IncompleteTreeText());
        return false;
    }
    // A half-coded image never reaches ConfigImage, where a later short file would pick it up.
    ConfigImageBytes coded{};
    const EncodeResult result = EncodeConfigImage(m_model, coded);
    if (!result.ok) {
        m_messages->error(result.error);
        return false;
    }
    image = coded;
    return true;
}

bool ParamsPage::valuesWithinLimits()
{
    // A file or a controller may hold such values; they are shown, but never sent.
    const QVector<ValueOutsideLimits> outside = ValuesOutsideLimits(m_model);
    if (outside.isEmpty())
        return true;
    m_messages->error(OutsideLimitsWriteRefusal(outside));
    return false;
}

QList<QWidget *> ParamsPage::deviceControls() const
{
    return {m_saveButton, m_openButton, m_writeButton, m_readButton, m_reportButton};
}

QPoint ParamsPage::selectedValuePoint() const
{
    return m_paramTree->selectedValuePoint();
}

QList<QWidget *> ParamsPage::controllerControls() const
{
    return {m_writeButton, m_readButton};
}

int ParamsPage::selectedNode() const
{
    return m_paramTree->selectedNode();
}

void ParamsPage::saveToFile()
{
    // The file dialogs are modal: no transfer can start under them, nor may they open during one.
    if (!m_link || m_link->busy())
        return;
    // The title's mark of unwritten changes is no part of a name.
    const QString title = window()->windowTitle().remove(QStringLiteral("[*]"));
    AskSaveFileName(this,
                    {QString(), QDir(QCoreApplication::applicationDirPath()).filePath(title),
                     QStringLiteral("Text files (*.txt)"), QStringLiteral("txt")},
                    this, [this](const QString &fileName) {
                        if (fileName.isEmpty() || !encodeTree(m_image))
                            return;
                        if (const QString failure = WriteParamFile(fileName, m_image); !failure.isEmpty()) {
                            m_messages->error(failure);
                            return;
                        }
                        Q_EMIT saved(fileName);
                    });
}

void ParamsPage::openFile()
{
    if (!m_link || m_link->busy())
        return;
    m_unwritten->settle([this] { openFileNow(); });
}

void ParamsPage::openFileNow()
{
    if (m_link->busy())
        return;
    AskOpenFileName(this, QString(), QString(), this, [this](const QString &path) {
        if (!path.isEmpty())
            openChosenFile(path);
    });
}

void ParamsPage::openChosenFile(const QString &path)
{
    // The whole file is checked before anything changes.
    const ParamFileValues file = ReadParamFile(path);
    if (!file.ok) {
        m_messages->error(file.error);
        return;
    }
    ApplyParamValues(file.values, m_image);
    DecodeConfigImage(m_image, m_model);
    m_model.setOrigin(ParamModel::Origin::File);
}

void ParamsPage::beginTransfer(const QString &text)
{
    m_progressBar->setValue(0);
    m_progressBar->show();
    Q_EMIT progressText(text);
}

void ParamsPage::endTransfer()
{
    m_progressBar->hide();
    Q_EMIT progressText(QString());
}

void ParamsPage::showTransferFailure(const std::function<void()> &seen)
{
    m_messages->plain(ErrorCaption(), NoAnswerText(), this, seen);
}

void ParamsPage::showProgress(int done, int total)
{
    m_progressBar->setValue(total > 0 ? 100 * done / total : 0);
}

void ParamsPage::write(const std::function<void(bool proven)> &then)
{
    m_afterWrite = then;
    writeToDevice();
}

void ParamsPage::writeEnded(bool proven)
{
    if (const auto then = std::exchange(m_afterWrite, nullptr))
        then(proven);
}

void ParamsPage::confirmWrite()
{
    if (!m_link || m_link->busy() || !PortChosen(*m_link, m_messages))
        return;
    // A write that will be refused says why at once, with no list before it.
    if (!m_model.baseline() || m_model.changes().isEmpty() || !m_model.mayBeWritten() ||
        !ValuesOutsideLimits(m_model).isEmpty() || !ConfirmsWrite()) {
        writeToDevice();
        return;
    }
    auto *list = new ChangeListDialog(m_model, this);
    list->setObjectName(QStringLiteral("writeConfirmation"));
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->setWindowModality(Qt::WindowModal);
    list->offerWrite();
    connect(list, &QDialog::accepted, this, &ParamsPage::writeToDevice);
    list->open();
}

void ParamsPage::writeToDevice()
{
    if (!m_link || m_link->busy()) {
        writeEnded(false);
        return;
    }
    ConfigImageBytes coded = m_image;
    if (!valuesWithinLimits() || !encodeTree(coded)) {
        writeEnded(false);
        return;
    }
    // Defaults, or another controller's values, would replace what this controller holds.
    if (!m_model.mayBeWritten()) {
        m_messages->error(UnreadTreeWriteText());
        writeEnded(false);
        return;
    }
    m_image = coded;
    auto *write = new ConfigWriteOperation(m_image, ConfigWriteOperation::ReadBack::Yes);
    write->setVariantAtStart(quint8(*CatalogueInTree(m_model)));
    connect(write, &DeviceOperation::progress, this, &ParamsPage::showProgress);
    connect(write, &DeviceOperation::finished, this, [this, write](OperationStatus status) {
        // The box tells the result: the status bar no longer says the write runs.
        endTransfer();
        // Told once the technician has seen the result, so what it brings to the status bar stays, and
        // whatever waited for the write goes on only then.
        const auto failed = [this] { writeEnded(false); };
        if (status == OperationStatus::Succeeded) {
            // Only what the controller gives back counts as written; the tree stays as it is.
            // The read-back is a reading of the controller: the marks then show what still differs.
            const QVector<ParamDifference> differences =
                DifferingParams(m_model, write->written(), write->readBack(), Compare::Bytes);
            m_model.setBaseline(write->readBack());
            if (WriteProven(m_model, differences)) {
                const QDateTime provenAt = QDateTime::currentDateTime();
                const ConfigImageBytes readBack = write->readBack();
                m_messages->plain(TransferDoneCaption(), WriteDoneText(), this, [this, readBack, provenAt] {
                    Q_EMIT thresholdsChanged(m_image);
                    Q_EMIT writeProven(readBack, provenAt);
                    writeEnded(true);
                });
            } else {
                m_messages->show(Message::Critical, ErrorCaption(), UnprovenWriteText(differences), this,
                                 failed);
            }
            return;
        }
        // Once a block went out, what the controller holds is no longer known.
        if (write->blocksWritten() > 0)
            m_model.setBaseline(std::nullopt);
        if (status == OperationStatus::Cancelled)
            m_messages->show(Message::Critical, ErrorCaption(),
                             InterruptedWriteText(write->blocksWritten(), int(WritePlan().size())), this,
                             failed);
        else if (status == OperationStatus::VariantChanged)
            m_messages->show(Message::Critical, ErrorCaption(), VariantChangedWriteText(), this, failed);
        else
            showTransferFailure(failed);
    });
    beginTransfer(WriteProgressText());
    if (!m_link->startOwned(write)) {
        endTransfer();
        writeEnded(false);
    }
}

void ParamsPage::readFromDevice()
{
    if (!m_link || !PortChosen(*m_link, m_messages))
        return;
    auto *read = new ConfigReadOperation(m_image);
    if (const std::optional<DeviceVariant> variant = CatalogueInTree(m_model))
        read->setVariantAtStart(quint8(*variant));
    connect(read, &DeviceOperation::progress, this, &ParamsPage::showProgress);
    connect(read, &DeviceOperation::finished, this, [this, read](OperationStatus status) {
        // The box tells the result: the status bar no longer says the read runs.
        endTransfer();
        if (status == OperationStatus::Succeeded) {
            m_image = read->image();
            DecodeConfigImage(m_image, m_model);
            m_model.setBaseline(m_image);
            m_model.setOrigin(ParamModel::Origin::Controller);
            Q_EMIT thresholdsChanged(m_image);
            // Told once the technician has seen the result, so what it brings to the status bar stays.
            const ConfigImageBytes image = m_image;
            m_messages->plain(TransferDoneCaption(), ReadDoneText(), this,
                              [this, image] { Q_EMIT deviceRead(image); });
        } else if (status == OperationStatus::VariantChanged) {
            // Blocks of another variant's memory never reach the image.
            m_messages->error(VariantChangedReadText());
        } else if (status != OperationStatus::Cancelled) {
            // A partial reading mixes two memories: the image and the tree keep what they held.
            showTransferFailure();
        }
    });
    // Refused, and deleted, while another operation runs.
    if (m_link->startOwned(read))
        beginTransfer(ReadProgressText());
}

void ParamsPage::showChanges()
{
    if (!m_changeList)
        m_changeList = new ChangeListDialog(m_model, this);
    m_changeList->show();
    m_changeList->raise();
    m_changeList->activateWindow();
}

} // namespace gencfg
