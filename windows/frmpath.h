#pragma once

#include "messagesink.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace sheetcraft {

class TwipsPlacement;

// The folder window "Zorvath Path Structure": the order-entry data folder on
// the left, the estimating folder on the right. Each column has a drive list
// (the mounted file systems), a folder tree in which a double click opens a
// folder, and an editable result cell that follows the opened folder.
// Continue saves both result cells to the location file. Modeless; deletes
// itself when closed.
class frmPath : public QWidget {
    Q_OBJECT

public:
    // `mainWindow` (optional) is shown again by Continue, and by any other
    // close while it is hidden, so the run never goes on without a window.
    explicit frmPath(MessageSink &messages, QWidget *mainWindow = nullptr,
                     QWidget *parent = nullptr);

    // Shows the one folder window of the run, creating it when none is open.
    static frmPath *showWindow(MessageSink &messages, QWidget *mainWindow = nullptr);

    QLabel *lblBind = nullptr;
    QLabel *Label1 = nullptr; // left heading
    QLabel *Label7 = nullptr; // right heading
    QComboBox *drvBox = nullptr;
    QComboBox *Drive1 = nullptr;
    QTreeView *dirBox = nullptr;
    QTreeView *Dir1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text1 = nullptr; // chosen data folder
    QLineEdit *Text2 = nullptr; // chosen estimating folder
    QLabel *Label4 = nullptr;
    QPushButton *cmdPath = nullptr;

    // Full path of the folder a column's tree has open (0 left, 1 right).
    QString openFolder(int column) const;

signals:
    // Continue saved the location file; the new folders take effect at the
    // next start.
    void continued(const QString &dataFolder, const QString &estFolder);
    // Closed any other way; nothing was saved. When the main window was
    // hidden it has been shown again before this is emitted.
    void closedWithoutContinue();

public slots:
    void cmdPath_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Column {
        QComboBox *drive = nullptr;
        QTreeView *tree = nullptr;
        QFileSystemModel *model = nullptr;
        QLineEdit *result = nullptr;
        QString shown; // folder to keep in view while the model fills in
    };

    void buildColumn(Column &column, int left);
    void fillDrives(QComboBox *box);
    void Form_Load();
    // Drive change: the folder list moves to the drive's top folder.
    void driveChanged(Column &column, int index);
    // Moves a column's tree to `path`; the result cell follows when asked.
    void setFolder(Column &column, const QString &path, bool updateResult);
    bool loadColumn(Column &column, const QString &stored);
    int driveIndexFor(const QComboBox *box, const QString &path) const;

    MessageSink &m_messages;
    TwipsPlacement *m_placement = nullptr;
    QPointer<QWidget> m_mainWindow;
    Column m_columns[2];
    bool m_continued = false;
    // The main window was hidden when this window came up (first start, bad
    // database); only then does closing bring it back, so that closing all
    // windows on Exit does not.
    bool m_mainWasHidden = false;
};

} // namespace sheetcraft
