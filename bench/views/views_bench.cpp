// Time to first paint and to scroll to the end, for the record table and the icon grid
// over 10,000 records. Prints one line per measurement.

#include "ibasechunk.h"
#include "qbaseiconlistdelegate.h"
#include "qbasedetailsmodel.h"
#include "qzvbasesortmodel.h"
#include "qzvbasestyledelegate.h"
#include "qzvdynamicmodel.h"
#include "qzvlistview.h"
#include "qzvtableview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

const int RecordCount = 10000;

template <typename Base> class BenchModel : public Base
{
public:
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid())
            return QVariant();
        auto *record = static_cast<IBaseChunk *>(index.internalPointer());
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0 ? QString::fromStdString(record->GetTitle())
                                       : QString::fromStdString(record->getDate());
        case Qt::DecorationRole:
            return QString::fromStdString(record->GetImage());
        case Qt::SizeHintRole:
            return this->itemSize();
        default:
            return Base::data(index, role);
        }
    }
};

// Counts the paints of a view's viewport.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *viewport) { viewport->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void waitForPaint(const PaintCounter &counter, int before)
{
    while (counter.paints == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void report(const char *what, qint64 nanoseconds)
{
    QTextStream(stdout) << what << ": " << QString::number(nanoseconds / 1e6, 'f', 1) << " ms\n";
}

void benchTable(std::vector<IBaseChunk *> *records)
{
    BenchModel<QBaseDetailsModel> model;
    model.setHeaderList({"Name", "Created Time"});
    model.setDatas(records);
    QZVBaseSortModel sort;
    sort.setSourceModel(&model);
    QZVBaseStyleDelegate delegate;
    QZVTableView view;
    view.setModel(&sort);
    view.setItemDelegate(&delegate);
    view.setSortModel(&sort);
    view.setStyleDelegate(&delegate);
    view.resize(600, 400);
    view.horizontalHeader()->resizeSection(0, 300);
    PaintCounter counter(view.viewport());

    QElapsedTimer timer;
    timer.start();
    view.show();
    waitForPaint(counter, 0);
    report("table: first paint", timer.nsecsElapsed());

    timer.restart();
    const int before = counter.paints;
    view.scrollToBottom();
    waitForPaint(counter, before);
    report("table: scroll to the end", timer.nsecsElapsed());

    timer.restart();
    sort.sort(1, Qt::DescendingOrder);
    const int sorted = counter.paints;
    waitForPaint(counter, sorted);
    report("table: sort by text and repaint", timer.nsecsElapsed());
}

void benchList(std::vector<IBaseChunk *> *records)
{
    BenchModel<QZvDynamicModel> model;
    model.setHeaderList({"Frame"});
    model.setItemSize(90, 90);
    model.setDatas(records);
    QBaseIconListDelegate delegate;
    delegate.setImageDrawType(QBaseIconListDelegate::CentreCrop);
    QZVListView view;
    view.setModel(&model);
    view.setItemDelegate(&delegate);
    view.setSourceModel(&model);
    view.setStyleDelegate(&delegate);
    view.setVerticalScrollBar(new QScrollBar(Qt::Vertical));
    view.resize(600, 400);
    PaintCounter counter(view.viewport());

    QElapsedTimer timer;
    timer.start();
    view.show();
    waitForPaint(counter, 0);
    report("list: first paint", timer.nsecsElapsed());

    timer.restart();
    QScrollBar *bar = view.verticalScrollBar();
    while (model.rowCount() < RecordCount || bar->value() < bar->maximum()) {
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCoreApplication::processEvents();
    }
    const int before = counter.paints;
    view.viewport()->update();
    waitForPaint(counter, before);
    report("list: scroll to the end, fetching in batches", timer.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    QImage thumbnail(320, 180, QImage::Format_RGB32);
    thumbnail.fill(QColor(90, 120, 150));
    const QString thumbnailPath = folder.filePath("thumb.jpg");
    thumbnail.save(thumbnailPath);

    std::vector<std::unique_ptr<IBaseChunk>> owned;
    std::vector<IBaseChunk *> records;
    for (int i = 0; i < RecordCount; ++i) {
        owned.push_back(std::make_unique<IBaseChunk>());
        IBaseChunk *record = owned.back().get();
        record->SetTitle(QString("IMG_%1.MOV").arg(i, 5, 10, QChar('0')).toStdString());
        record->setDate(QString("2026.12.%1 10:%2:00").arg(1 + i % 28, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0')).toStdString());
        record->setImage(thumbnailPath.toStdString());
        records.push_back(record);
    }
    benchTable(&records);
    benchList(&records);
    return 0;
}
