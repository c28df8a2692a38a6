#pragma once

#include <QDialog>
#include <QPointer>
#include <QRect>

#include <map>

// A dialog whose registered controls keep their places as the dialog is
// resized: each moves or grows by the change of the client size, or by a
// share of it proportional to where the control stands.
class CFormDialog : public QDialog
{
    Q_OBJECT
public:
    // How a control follows one direction of the client's growth.
    enum ResizeMode {
        ResizeStay = 0,
        ResizeMove = 1,          // moves by the growth
        ResizeGrow = 2,          // grows by the growth
        ResizeMoveShare = 3,     // moves in proportion to its position
        ResizeMoveGrowShare = 4, // moves and grows in proportion to its position and size
    };

    // A control's rectangle when registered (right and bottom exclusive, in
    // client coordinates) and its two modes.
    struct CResizeAction
    {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int vertical = ResizeStay;
        int horizontal = ResizeStay;
        QPointer<QWidget> control;
    };

    explicit CFormDialog(QWidget* parent = nullptr);

    // Registers the control under its id with its current geometry; a second
    // call for the same id replaces the first.
    void AddResizeControl(int id, QWidget* control, int horizontal, int vertical);

    // Where a control registered at `action` stands once the client has grown
    // by dx, dy from the initial client size. Modes other than 0 to 4 leave
    // that direction alone.
    static QRect ResizedRect(const CResizeAction& action, int dx, int dy, const QSize& initialClient);
    // a * b / c on 64 bits, rounded half away from zero; -1 when c is 0 or
    // the result does not fit.
    static int MulDiv(int a, int b, int c);

protected:
    // Takes the present client size as the initial one (and, with
    // m_bLimitSize, as the smallest); called once the controls are placed.
    void OnCreate();
    void resizeEvent(QResizeEvent* e) override;

    bool m_bLimitSize = false;
    int m_nMinWidth = 0;
    int m_nMinHeight = 0;
    QRect m_rcInitial;
    std::map<int, CResizeAction> m_mapResize;
};
