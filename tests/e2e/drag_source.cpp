// A second X client that drags a file, as a file manager does: pressing the
// mouse in its window starts a drag of the file named on its command line.
//   drag_source FILE
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class Source : public QWidget {
public:
    explicit Source(QString path) : path_(std::move(path)) {
        setWindowTitle(QStringLiteral("drag-source"));
        setFixedSize(120, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path_)});
        data->setText(path_);  // file managers offer the path as text too
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QString path_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Source source(QString::fromLocal8Bit(argv[1]));
    source.move(20, 20);
    source.show();
    return app.exec();
}
