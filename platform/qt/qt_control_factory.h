#pragma once

#include <QRect>
#include <QString>

class QComboBox;
struct QtWindow;

/// Builds the widgets of dialog controls and keeps their Qt state in step with the framework's:
/// push button (QPushButton), automatic radio button (QtRadioButton), report list view
/// (QTreeView over a QtReportModel), static text (QLabel), static bitmap (QLabel, or the size
/// grip), progress bar (QProgressBar) and drop-down list (QComboBox).
class QtControlFactory {
public:
    /// Makes control's widget inside its dialog at rect (client pixels) and wires its input to
    /// the framework: a button click is WM_COMMAND (id, BN_CLICKED) to the dialog, the user's
    /// choice in a drop-down list WM_COMMAND (id, CBN_SELCHANGE).
    static void build(QtWindow& control, const QRect& rect);
    /// Shows window's text (the framework's bytes) on its widget, and gives the widget its
    /// accessible name: the one set for it, else a button's label without its mnemonic.
    static void applyText(QtWindow& window);
    /// Checks radio as the user does: it alone of its group is checked afterwards.
    static void checkInGroup(QtWindow& radio);
    /// Lets Tab reach a radio group that has no tab stop of its own, at its checked button or,
    /// with none checked, at its first one; the arrow keys move within the group.
    static void updateGroupTabStop(const QtWindow& radio);
    /// Gives each static text of dialog with a mnemonic ("&Algorithm:") the next control that
    /// takes the focus as its buddy, as the window system's dialogs do: Alt and the letter move
    /// the focus there, and the label shows the letter underlined.
    static void linkLabels(QtWindow& dialog);

private:
    /// Gives a drop-down list the name screen readers read for it.
    static void labelForScreenReaders(QComboBox* combo, const QString& name);
};
