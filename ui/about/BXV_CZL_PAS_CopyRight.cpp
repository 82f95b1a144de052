#include "ui/about/BXV_CZL_PAS_CopyRight.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

#include "ui/platform/manual.h"

namespace {

using namespace copyright;

const QColor kBlack(0x00, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
constexpr int kBorder = 1;  // the single fixed border around the 260 x 330 client area

QString Text(const char16_t* text) {
    return QString::fromUtf16(text);
}

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Adds or removes bold and underlined; every other property of the font stays.
void SetLinkStyle(QLabel* label, bool hover) {
    QFont font = label->font();
    font.setBold(hover);
    font.setUnderline(hover);
    label->setFont(font);
}

void SetPointSize(QWidget* widget, int points, bool bold = false) {
    QFont font = widget->font();
    font.setPointSize(points);
    font.setBold(bold);
    widget->setFont(font);
}

// The client area: the gradient from #F48D72 at the top to #FEE9E9 at 0.52 of the height,
// flat below.
class GradientLayer : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0.0, QColor(0xF4, 0x8D, 0x72));
        gradient.setColorAt(0.52, QColor(0xFE, 0xE9, 0xE9));
        gradient.setColorAt(1.0, QColor(0xFE, 0xE9, 0xE9));
        painter.fillRect(rect(), gradient);
    }
};

// A button with rounded corners, its text on one line.
class RoundButton : public QPushButton {
  public:
    RoundButton(const QString& text, int radius, QWidget* parent)
        : QPushButton(text, parent), radius_(radius) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QColor fill = palette().color(QPalette::Button);
        if (isDown()) {
            fill = fill.darker(115);
        }
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(fill);
        painter.drawRoundedRect(face, radius_, radius_);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

  private:
    int radius_;
};

// A rock-socketed pile: the load on the cap, the pile through soil into bedrock, the socket.
QPixmap PilePicture(qreal pixelRatio) {
    constexpr int kSize = 100;
    QPixmap picture(static_cast<int>(kSize * pixelRatio), static_cast<int>(kSize * pixelRatio));
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 34);
    sky.setColorAt(0, QColor(0xCF, 0xE8, 0xFF));
    sky.setColorAt(1, QColor(0xF4, 0xFA, 0xFF));
    p.fillRect(QRectF(0, 0, kSize, 34), sky);
    p.fillRect(QRectF(0, 34, kSize, 24), QColor(0xB8, 0x8A, 0x5E));  // soil
    p.setPen(QPen(QColor(0x8A, 0x62, 0x3E), 1.5));
    for (int x = 4; x < kSize; x += 9) {
        p.drawPoint(QPointF(x, 40 + (x % 3) * 5));
    }
    p.fillRect(QRectF(0, 58, kSize, 42), QColor(0x86, 0x8B, 0x93));  // bedrock
    p.setPen(QPen(QColor(0x5E, 0x63, 0x6B), 1));
    p.drawPolyline(QPolygonF({{0, 70}, {14, 66}, {26, 74}, {36, 70}}));
    p.drawPolyline(QPolygonF({{64, 76}, {78, 70}, {90, 80}, {100, 76}}));
    p.drawPolyline(QPolygonF({{6, 90}, {20, 86}, {30, 94}}));
    p.drawPolyline(QPolygonF({{70, 94}, {84, 88}, {100, 92}}));
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.drawLine(QPointF(0, 58), QPointF(kSize, 58));

    // The pile and its cap; the socket below the rock surface in a deeper grey.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0xE2, 0xE2, 0xE2));
    p.drawRect(QRectF(41, 22, 18, 36));
    p.setBrush(QColor(0xC4, 0xC4, 0xC4));
    p.drawRect(QRectF(41, 58, 18, 30));
    p.setBrush(QColor(0xD0, 0xD0, 0xD0));
    p.drawRect(QRectF(30, 16, 40, 7));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawLine(QPointF(45, 24), QPointF(45, 86));
    p.drawLine(QPointF(55, 24), QPointF(55, 86));

    // The vertical load.
    const QColor arrow(0xD0, 0x21, 0x21);
    p.setPen(QPen(arrow, 2));
    p.drawLine(QPointF(50, 1), QPointF(50, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    p.drawPolygon(QPolygonF({{45, 9}, {55, 9}, {50, 15}}));
    return picture;
}

}  // namespace

// A Qt::Popup would grab the mouse and keyboard: the next click on the main window would only
// close it. This one grabs nothing; it hides on what would have closed a pop-up and lets that
// event go on to do its own job.
class TBXV_CZL_FRM_CopyRight::Dismissal : public QObject {
  public:
    explicit Dismissal(TBXV_CZL_FRM_CopyRight& dialog) : dialog_(dialog) {
        connect(qApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (watching_ && state != Qt::ApplicationActive) {
                        dialog_.hide();
                    }
                });
    }

    // Qt allows a filter to be removed while it runs, so hiding from inside it is safe.
    void Watch(bool on) {
        if (on != watching_) {
            watching_ = on;
            if (on) {
                qApp->installEventFilter(this);
            } else {
                qApp->removeEventFilter(this);
            }
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() != &dialog_ && !IsOpener(widget)) {
                dialog_.hide();
            }
        } else if (event->type() == QEvent::KeyPress &&
                   static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            dialog_.hide();
        }
        return false;
    }

  private:
    bool IsOpener(const QWidget* widget) const {
        return dialog_.opener_ != nullptr &&
               (widget == dialog_.opener_ || dialog_.opener_->isAncestorOf(widget));
    }

    TBXV_CZL_FRM_CopyRight& dialog_;
    bool watching_ = false;
};

TBXV_CZL_FRM_CopyRight::TBXV_CZL_FRM_CopyRight(pile::platform::SystemShell& shell)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), shell_(shell) {
    setObjectName(QStringLiteral("BXV_CZL_FRM_CopyRight"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    dismissal_ = std::make_unique<Dismissal>(*this);
    setWindowTitle(QStringLiteral("关于"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kDesignWidth + 2 * kBorder, kDesignHeight + 2 * kBorder);
    const QString cjkFamily = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::hasFamily(cjkFamily)) {
        QFont dialogFont = font();
        dialogFont.setFamily(cjkFamily);
        setFont(dialogFont);
    }

    CopyRightLayer = new GradientLayer(this);
    CopyRightLayer->setObjectName(QStringLiteral("CopyRightLayer"));
    CopyRightLayer->setGeometry(kBorder, kBorder, kDesignWidth, kDesignHeight);

    const auto label = [this](const char* name, const QString& text, int x, int y, int w, int h) {
        auto* created = new QLabel(text, CopyRightLayer);
        created->setObjectName(QLatin1String(name));
        created->setGeometry(x, y, w, h);
        return created;
    };

    QLabel* title = label("lb_mokuaiming", Text(kTitle), 0, 16, 265, 33);
    SetPointSize(title, 18, true);
    SetTextColour(title, kBlue);
    title->setAlignment(Qt::AlignCenter);

    QLabel* subtitle = label("lb_fubiaoti", Text(kSubtitle), 0, 48, 265, 17);
    SetPointSize(subtitle, 14);
    subtitle->setAlignment(Qt::AlignCenter);

    label("lb_xinxi1", Text(kInformation1), 32, 72, 217, 25);
    label("lb_xinxi2", Text(kInformation2), 32, 104, 100, 25);
    SetPointSize(label("lb_xinxi3", Text(kInformation3), 122, 96, 128, 25), 10);
    SetPointSize(label("lb_xinxi4", Text(kInformation4), 122, 112, 128, 25), 10);

    lb_danwei = label("lb_danwei", Text(kFontLicence), 32, 128, 218, 25);
    SetPointSize(lb_danwei, 10);
    lb_danwei->setAlignment(Qt::AlignCenter);
    SetTextColour(lb_danwei, kBlack);

    label("lb_wangzhilb", QStringLiteral("网址："), 32, 152, 50, 25);
    lb_wangzhi = label("lb_wangzhi", Text(kManual), 70, 152, 146, 25);
    SetTextColour(lb_wangzhi, kBlue);
    // Where the manual is: the installed file, shown when the pointer rests on the link.
    const QUrl manual = pile::platform::ManualUrl(QCoreApplication::applicationDirPath());
    lb_wangzhi->setToolTip(manual.isEmpty() ? QString()
                                            : QDir::toNativeSeparators(manual.toLocalFile()));

    cbt_update = new RoundButton(QStringLiteral("更新"), 5, CopyRightLayer);
    cbt_update->setObjectName(QStringLiteral("cbt_update"));
    // Wide enough for "更新" on one line, beside the manual's link.
    cbt_update->setGeometry(216, 154, 36, 21);
    SetPointSize(cbt_update, 10);
    connect(cbt_update, &QPushButton::clicked, this, &TBXV_CZL_FRM_CopyRight::cbt_updateClick);

    label("lb_lianxi", QStringLiteral("邮箱："), 32, 176, 50, 25);
    lb_lianxiUr = label("lb_lianxiUr", Text(kReport), 70, 176, 146, 25);
    SetTextColour(lb_lianxiUr, kBlue);

    QLabel* image = label("ImageQQ", QString(), 72, 212, 100, 100);
    image->setPixmap(PilePicture(devicePixelRatioF()));

    // Which program made a book: the engineer reads the version off here.
    QLabel* version = label("lb_banben", VersionText(), 0, 312, 265, 17);
    SetPointSize(version, 8);
    version->setAlignment(Qt::AlignCenter);

    // Only the three links answer the mouse.
    for (QLabel* link : {lb_danwei, lb_wangzhi, lb_lianxiUr}) {
        link->setMouseTracking(true);
        link->setCursor(Qt::PointingHandCursor);
        link->installEventFilter(this);
    }
}

TBXV_CZL_FRM_CopyRight::~TBXV_CZL_FRM_CopyRight() = default;

QString TBXV_CZL_FRM_CopyRight::VersionText() {
    // The Qt the program runs with, which on Windows is the one shipped beside it.
    return QStringLiteral("版本 %1 · Qt %2")
        .arg(QString::fromLatin1(PILE_PROJECT_VERSION), QString::fromLatin1(qVersion()));
}

QUrl TBXV_CZL_FRM_CopyRight::ReportUrl(const QString& lastInputs) {
    QString body =
        QStringLiteral("（请在这里写下发生了什么、希望得到什么）\n\n\n---\n%1 %2\n系统：%3 (%4)\n")
            .arg(Text(kTitle), VersionText(), QSysInfo::prettyProductName(),
                 QSysInfo::currentCpuArchitecture());
    if (lastInputs.isEmpty()) {
        body += QStringLiteral("本次运行还没有计算。\n");
    } else {
        // A schedule: "导入桩表…" or pile_batch computes the same pile again from it.
        QString schedule = lastInputs;
        schedule.remove(QChar(0xFEFF)).remove(QLatin1Char('\r'));
        body += QStringLiteral("最后一次计算的输入（桩表）：\n") + schedule;
    }
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), Text(kReportSubject));
    query.addQueryItem(QStringLiteral("body"), body);
    QUrl url(QStringLiteral("mailto:"));
    url.setQuery(query);
    return url;
}

TBXV_CZL_FRM_CopyRight* TBXV_CZL_FRM_CopyRight::ShowSingle(
    std::unique_ptr<TBXV_CZL_FRM_CopyRight>& dialog, pile::platform::SystemShell& shell,
    QWidget* opener, const QString& lastInputs, pile::platform::MessagePresenter* messages) {
    if (!dialog) {
        dialog = std::make_unique<TBXV_CZL_FRM_CopyRight>(shell);
    }
    dialog->opener_ = opener;
    dialog->lastInputs_ = lastInputs;
    dialog->messages_ = messages;
    dialog->ShowCentred();
    return dialog.get();
}

void TBXV_CZL_FRM_CopyRight::ShowCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
}

bool TBXV_CZL_FRM_CopyRight::eventFilter(QObject* watched, QEvent* event) {
    using Handler = void (TBXV_CZL_FRM_CopyRight::*)();
    struct Link {
        QLabel* label;
        Handler move;
        Handler leave;
        Handler click;
    };
    const Link links[] = {
        {lb_danwei, &TBXV_CZL_FRM_CopyRight::lb_danweiMouseMove,
         &TBXV_CZL_FRM_CopyRight::lb_danweiMouseLeave, &TBXV_CZL_FRM_CopyRight::lb_danweiClick},
        {lb_wangzhi, &TBXV_CZL_FRM_CopyRight::lb_wangzhiMouseMove,
         &TBXV_CZL_FRM_CopyRight::lb_wangzhiMouseLeave, &TBXV_CZL_FRM_CopyRight::lb_wangzhiClick},
        {lb_lianxiUr, &TBXV_CZL_FRM_CopyRight::lb_lianxiUrMouseMove,
         &TBXV_CZL_FRM_CopyRight::lb_lianxiUrMouseLeave, &TBXV_CZL_FRM_CopyRight::lb_lianxiUrClick},
    };
    for (const Link& link : links) {
        if (watched != link.label) {
            continue;
        }
        switch (event->type()) {
            case QEvent::MouseMove:
                (this->*link.move)();
                break;
            case QEvent::Leave:
                (this->*link.leave)();
                break;
            case QEvent::MouseButtonRelease: {
                // A click: the left button released over the label it was pressed on.
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton &&
                    link.label->rect().contains(mouse->position().toPoint())) {
                    (this->*link.click)();
                }
                break;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TBXV_CZL_FRM_CopyRight::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TBXV_CZL_FRM_CopyRight::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    dismissal_->Watch(true);
}

// A hidden dialog is left by the pointer: it shows its links in their normal look next time.
void TBXV_CZL_FRM_CopyRight::hideEvent(QHideEvent* event) {
    dismissal_->Watch(false);
    lb_danweiMouseLeave();
    lb_wangzhiMouseLeave();
    lb_lianxiUrMouseLeave();
    QWidget::hideEvent(event);
}

void TBXV_CZL_FRM_CopyRight::lb_danweiMouseMove() {
    lb_danwei->setText(Text(kFontLicenceHover));
    SetLinkStyle(lb_danwei, true);
    SetTextColour(lb_danwei, kRed);
}

void TBXV_CZL_FRM_CopyRight::lb_wangzhiMouseMove() {
    SetLinkStyle(lb_wangzhi, true);
    SetTextColour(lb_wangzhi, kRed);
}

void TBXV_CZL_FRM_CopyRight::lb_lianxiUrMouseMove() {
    SetLinkStyle(lb_lianxiUr, true);
    SetTextColour(lb_lianxiUr, kRed);
}

void TBXV_CZL_FRM_CopyRight::lb_danweiMouseLeave() {
    lb_danwei->setText(Text(kFontLicence));
    SetLinkStyle(lb_danwei, false);
    SetTextColour(lb_danwei, kBlack);
}

void TBXV_CZL_FRM_CopyRight::lb_wangzhiMouseLeave() {
    SetLinkStyle(lb_wangzhi, false);
    SetTextColour(lb_wangzhi, kBlue);
}

void TBXV_CZL_FRM_CopyRight::lb_lianxiUrMouseLeave() {
    SetLinkStyle(lb_lianxiUr, false);
    SetTextColour(lb_lianxiUr, kBlue);
}

void TBXV_CZL_FRM_CopyRight::lb_danweiClick() {
    OpenManualAt(QString::fromLatin1(kLicenceSection));
}

void TBXV_CZL_FRM_CopyRight::lb_wangzhiClick() {
    OpenManualAt(QString());
}

void TBXV_CZL_FRM_CopyRight::lb_lianxiUrClick() {
    shell_.open(ReportUrl(lastInputs_));
}

void TBXV_CZL_FRM_CopyRight::cbt_updateClick() {
    OpenManualAt(QString::fromLatin1(pile::platform::manual::kUpdateSection));
}

// Without a presenter a missing manual opens nothing, as a target nothing can open.
void TBXV_CZL_FRM_CopyRight::OpenManualAt(const QString& section) {
    if (messages_ != nullptr) {
        pile::platform::OpenManual(shell_, *messages_, section);
    } else if (const QUrl url =
                   pile::platform::ManualUrl(QCoreApplication::applicationDirPath(), section);
               !url.isEmpty()) {
        shell_.open(url);
    }
}
