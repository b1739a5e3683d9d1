#include "config/ui/ChangeListDialog.h"

#include "config/ParamModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace gencfg {

ChangeListDialog::ChangeListDialog(ParamModel &model, QWidget *parent)
    : ChangeListDialog(
          tr("Изменения"), ChangeListHeadings(), [&model] { return model.changes(); }, parent)
{
    // A value edited while the list is open shows in it at once.
    connect(&model, &ParamModel::changesUpdated, this, &ChangeListDialog::refresh);
    connect(&model, &QAbstractItemModel::dataChanged, this, &ChangeListDialog::refresh);
    connect(&model, &QAbstractItemModel::modelReset, this, &ChangeListDialog::refresh);
}

ChangeListDialog::ChangeListDialog(const QString &title, const QStringList &headings,
                                   const QVector<ParamDifference> &list, QWidget *parent)
    : ChangeListDialog(
          title, headings, [list] { return list; }, parent)
{}

ChangeListDialog::ChangeListDialog(const QString &title, const QStringList &headings,
                                   std::function<QVector<ParamDifference>()> list, QWidget *parent)
    : QDialog(parent), m_headings(headings), m_list(std::move(list))
{
    setObjectName(QStringLiteral("ChangeListDialog"));
    setWindowTitle(title);
    resize(720, 320);

    m_changeTable = new QTreeWidget(this);
    m_changeTable->setObjectName(QStringLiteral("changeTable"));
    m_changeTable->setHeaderLabels(headings);
    m_changeTable->setRootIsDecorated(false);
    m_changeTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_changeTable->header()->resizeSection(0, 340);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_copyButton = new QPushButton(tr("Копировать"), this);
    m_copyButton->setObjectName(QStringLiteral("copyButton"));
    m_closeButton = new QPushButton(tr("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    // Enter closes the list, from the table too.
    m_closeButton->setDefault(true);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addWidget(m_summary, 1);
    m_buttonRow->addWidget(m_copyButton);
    m_buttonRow->addWidget(m_closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_changeTable);
    layout->addLayout(m_buttonRow);

    connect(m_copyButton, &QPushButton::clicked, this, &ChangeListDialog::copyToClipboard);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void ChangeListDialog::offerWrite()
{
    auto *writeButton = new QPushButton(tr("Записать"), this);
    writeButton->setObjectName(QStringLiteral("writeButton"));
    writeButton->setDefault(true);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(m_closeButton), writeButton);
    m_closeButton->setText(tr("Отмена"));
    disconnect(m_closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(writeButton, &QPushButton::clicked, this, &QDialog::accept);
}

QString ChangeListDialog::ShownParamName(const QString &path)
{
    // Rows of one group differ only at the end of their paths: the parameter's own name goes first,
    // so a narrow column cuts the groups, never the name.
    const QString separator = QStringLiteral(" / "); // as ParamModel::path joins the names
    const qsizetype cut = path.lastIndexOf(separator);
    if (cut < 0)
        return path;
    return path.mid(cut + separator.size()) + QStringLiteral(" — ") + path.left(cut);
}

void ChangeListDialog::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

QString ChangeListDialog::text() const
{
    return ChangeListText(m_list(), m_headings);
}

void ChangeListDialog::copyToClipboard()
{
    QGuiApplication::clipboard()->setText(text());
}

void ChangeListDialog::refresh()
{
    if (!isVisible())
        return; // rebuilt when shown
    const QVector<ParamDifference> changes = m_list();
    m_changeTable->clear();
    for (const ParamDifference &change : changes) {
        auto *item =
            new QTreeWidgetItem(QStringList{ShownParamName(change.path), change.first, change.second});
        item->setToolTip(0, change.path);
        m_changeTable->addTopLevelItem(item);
    }
    // The values and their headings, a visit's date among them, are never cut.
    for (int column : {1, 2})
        m_changeTable->resizeColumnToContents(column);
    m_summary->setText(ChangesBelowText(int(changes.size())));
}

} // namespace gencfg
