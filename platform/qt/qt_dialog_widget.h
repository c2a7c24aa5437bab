#pragma once

#include <QDialog>

struct QtWindow;

/// The top-level widget of a framework dialog. It turns Qt's events into the framework's
/// messages: resizing and minimising into WM_SIZE, the close box into WM_SYSCOMMAND SC_CLOSE,
/// Escape into IDCANCEL, Enter into the focused or the default push button, the paste keys that
/// no control that edits text took into WM_PASTE, the paint cycle into WM_PAINT, drags into the
/// registered drop target; it shows the system menu on a right click on its background, Shift+F10
/// or the Menu key. Its controls are plain children placed by pixel.
class QtDialogWidget : public QDialog {
public:
    explicit QtDialogWidget(QtWindow* window);

    QtWindow* record() const { return m_window; }
    /// Cuts the tie to the record once the framework has destroyed the window.
    void detach() { m_window = nullptr; }
    /// False while the window is disabled (an owned modal dialog runs) or busy.
    bool takesInput() const;
    /// Pops up the system menu at a global position.
    void showSystemMenu(const QPoint& at);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// Sends WM_COMMAND (id, BN_CLICKED) as a press of that control would, unless it is disabled.
    void pressButton(int id);
    /// Where a system menu opened from the keyboard appears.
    QPoint keyboardMenuPosition() const;

    QtWindow* m_window;
};
