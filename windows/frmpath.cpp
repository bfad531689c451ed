#include "frmpath.h"

#include "settingsfiles.h"
#include "singlewindow.h"
#include "twipsplacement.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStorageInfo>
#include <QTreeView>

namespace sheetcraft {

namespace {

// Pseudo file systems the user never keeps data on.
bool isRealMount(const QStorageInfo &volume) {
    if (!volume.isValid() || !volume.isReady())
        return false;
    const QString root = volume.rootPath();
    if (root == QLatin1String("/"))
        return true;
    for (const char *prefix : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"}) {
        const QLatin1String p(prefix);
        if (root == p || root.startsWith(p + QLatin1Char('/')))
            return false;
    }
    static const QStringList pseudo = {
        QStringLiteral("proc"),     QStringLiteral("sysfs"),   QStringLiteral("devpts"),
        QStringLiteral("cgroup"),   QStringLiteral("cgroup2"), QStringLiteral("autofs"),
        QStringLiteral("squashfs"), QStringLiteral("nsfs"),    QStringLiteral("tracefs"),
        QStringLiteral("debugfs"),  QStringLiteral("mqueue"),  QStringLiteral("bpf")};
    return !pseudo.contains(QString::fromLatin1(volume.fileSystemType()));
}

// A stored location the lists can show: an absolute path with a drive letter
// on Windows, one starting at the root elsewhere. Network paths and the
// no-folder text leave their column as designed.
bool isLoadablePath(const QString &stored) {
#ifdef _WIN32
    return stored.contains(QLatin1Char(':'));
#else
    return stored.startsWith(QLatin1Char('/'));
#endif
}

bool isUnder(const QString &path, const QString &root) {
    if (root.endsWith(QLatin1Char('/')))
        return path.startsWith(root, Qt::CaseInsensitive) || path + QLatin1Char('/') == root;
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

QPointer<frmPath> g_openWindow;

} // namespace

frmPath::frmPath(MessageSink &messages, QWidget *mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window), m_messages(messages), m_mainWindow(mainWindow) {
    setWindowTitle(tr("Zorvath Path Structure"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_placement = new TwipsPlacement(this);
    const auto place = [this](QWidget *w, int l, int t, int wd, int h) {
        m_placement->place(w, QRect(l, t, wd, h));
    };

    lblBind = new QLabel(
        tr("Click on Drive followed by Double Clicking on Folder Where Kelvane Data Folder "
           "Resides and where Est Folder Resides. Results are shown below."),
        this);
    lblBind->setWordWrap(true);
    lblBind->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(lblBind, 0, 240, 8535, 615);

    Label1 = new QLabel(tr("Location of Kelvane Data"), this);
    place(Label1, 720, 1080, 3375, 255);
    Label7 = new QLabel(tr("Location of Est"), this);
    place(Label7, 4560, 1080, 3375, 255);

    buildColumn(m_columns[0], 720);
    buildColumn(m_columns[1], 4560);
    drvBox = m_columns[0].drive;
    Drive1 = m_columns[1].drive;
    dirBox = m_columns[0].tree;
    Dir1 = m_columns[1].tree;
    Text1 = m_columns[0].result;
    Text2 = m_columns[1].result;

    Label3 = new QLabel(tr("Location of Kelvane Data Folder."), this);
    place(Label3, 720, 3360, 3255, 255);
    Label5 = new QLabel(tr("Location of Est Folder"), this);
    place(Label5, 4560, 3360, 3255, 255);

    Label4 = new QLabel(tr("If the locations above are correct, click the Continue button below."),
                        this);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(Label4, 720, 4080, 7215, 375);

    cmdPath = new QPushButton(tr("Continue"), this);
    cmdPath->setAutoDefault(true); // Enter clicks it when it has the focus
    place(cmdPath, 3720, 4800, 1215, 495);
    connect(cmdPath, &QPushButton::clicked, this, &frmPath::cmdPath_Click);

    m_placement->fixSize(this, QSize(8655, 5640));
    Form_Load();
}

void frmPath::buildColumn(Column &column, int left) {
    column.drive = new QComboBox(this);
    m_placement->place(column.drive, QRect(left, 1440, 3375, 315));
    fillDrives(column.drive);

    column.model = new QFileSystemModel(this);
    column.model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    column.model->setReadOnly(true);

    column.tree = new QTreeView(this);
    column.tree->setModel(column.model);
    column.tree->setHeaderHidden(true);
    for (int c = 1; c < column.model->columnCount(); ++c)
        column.tree->hideColumn(c);
    // A double click opens the folder; it should never fold one away again.
    column.tree->setExpandsOnDoubleClick(false);
    m_placement->place(column.tree, QRect(left, 1920, 3375, 1215));

    column.result = new QLineEdit(QString::fromLatin1(noFolderText), this);
    m_placement->place(column.result, QRect(left, 3600, 3375, 285));

    // Designed state: the current drive and folder, result cell untouched.
    const QString current = QDir::currentPath();
    const int drive = driveIndexFor(column.drive, current);
    column.drive->setCurrentIndex(drive);
    if (drive >= 0) {
        const QString root = column.drive->itemData(drive).toString();
        column.tree->setRootIndex(column.model->setRootPath(root));
    }
    setFolder(column, current, false);

    Column *c = &column;
    // Folders are read in the background: bring the open folder into view
    // again as each level arrives.
    connect(column.model, &QFileSystemModel::directoryLoaded, this, [c](const QString &loaded) {
        if (!c->shown.startsWith(loaded))
            return;
        const QModelIndex index = c->model->index(c->shown);
        for (QModelIndex up = index; up.isValid() && up != c->tree->rootIndex(); up = up.parent())
            c->tree->expand(up);
        c->tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    });
    connect(column.drive, &QComboBox::activated, this,
            [this, c](int index) { driveChanged(*c, index); });
    connect(column.tree, &QTreeView::activated, this, [this, c](const QModelIndex &index) {
        setFolder(*c, c->model->filePath(index), true);
    });
}

void frmPath::fillDrives(QComboBox *box) {
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (isRealMount(volume) && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    if (!roots.contains(QDir::rootPath()))
        roots.prepend(QDir::rootPath());
#ifndef _WIN32
    // The home folder is where most users keep things, mount or not.
    const QString home = QDir::homePath();
    if (!roots.contains(home))
        roots << home;
#endif
    std::sort(roots.begin(), roots.end());
    for (const QString &root : roots)
        box->addItem(QDir::toNativeSeparators(root), root);
}

int frmPath::driveIndexFor(const QComboBox *box, const QString &path) const {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < box->count(); ++i) {
        const QString root = box->itemData(i).toString();
        if (isUnder(clean, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

QString frmPath::openFolder(int column) const {
    const Column &c = m_columns[column == 0 ? 0 : 1];
    return c.model->filePath(c.tree->currentIndex());
}

void frmPath::driveChanged(Column &column, int index) {
    const QString root = column.drive->itemData(index).toString();
    column.tree->setRootIndex(column.model->setRootPath(root));
    setFolder(column, root, true);
}

void frmPath::setFolder(Column &column, const QString &path, bool updateResult) {
    column.shown = path;
    const QModelIndex index = column.model->index(path);
    if (index.isValid()) {
        for (QModelIndex up = index; up.isValid() && up != column.tree->rootIndex();
             up = up.parent())
            column.tree->expand(up);
        column.tree->setCurrentIndex(index);
        column.tree->scrollTo(index);
    }
    if (updateResult)
        column.result->setText(QDir::toNativeSeparators(QDir::cleanPath(path)));
}

bool frmPath::loadColumn(Column &column, const QString &stored) {
    if (!isLoadablePath(stored))
        return true; // designed state, go on with the next column
    const int drive = driveIndexFor(column.drive, stored);
    if (drive < 0 || !QFileInfo(QDir::fromNativeSeparators(stored)).isDir())
        return false; // gone since it was saved: stop loading here
    column.drive->setCurrentIndex(drive);
    column.tree->setRootIndex(column.model->setRootPath(column.drive->itemData(drive).toString()));
    setFolder(column, QDir::cleanPath(QDir::fromNativeSeparators(stored)), false);
    column.result->setText(stored);
    return true;
}

void frmPath::Form_Load() {
    const LocationFile location = readLocationFile();
    if (!location.exists || location.error != 0)
        return;
    if (loadColumn(m_columns[0], location.dataFolder))
        loadColumn(m_columns[1], location.estFolder);
}

void frmPath::cmdPath_Click() {
    const QString dataFolder = Text1->text();
    const QString estFolder = Text2->text();
    // A failed save has been reported; the window stays open so the user can
    // choose again or close it.
    const Outcome said = writeLocationFile(dataFolder, estFolder);
    if (!said.saysNothing()) {
        showMessages(m_messages, said);
        return;
    }
    m_continued = true;
    close();
    emit continued(dataFolder, estFolder);
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
}

void frmPath::closeEvent(QCloseEvent *event) {
    QWidget::closeEvent(event);
    if (m_continued)
        return;
    if (m_mainWasHidden && m_mainWindow && m_mainWindow->isHidden())
        m_mainWindow->show();
    emit closedWithoutContinue();
}

void frmPath::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_mainWasHidden = m_mainWindow && m_mainWindow->isHidden();
}

frmPath *frmPath::showWindow(MessageSink &messages, QWidget *mainWindow) {
    if (g_openWindow && mainWindow && mainWindow->isHidden())
        g_openWindow->m_mainWasHidden = true;
    return showSingleWindow(g_openWindow, [&] { return new frmPath(messages, mainWindow); });
}

} // namespace sheetcraft
