#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

#include "shell/address_opener.h"

namespace haojian {

// A link drawn by itself: its caption bold and underlined, blue at rest, red under the
// pointer, fuchsia once pressed. A left press opens URL through the address opener. Every
// paint sizes the label to its caption with a margin of 3 pixels left and right and 1 above
// and below.
class THyperLinkLabel : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor kBlue{0, 0, 255};
    static constexpr QColor kRed{255, 0, 0};
    static constexpr QColor kFuchsia{255, 0, 255};

    explicit THyperLinkLabel(QWidget* parent = nullptr,
                             AddressOpener& opener = DesktopAddressOpener());

    // Colour of the text while the pointer is elsewhere.
    QColor LinkColor() const { return link_color_; }
    // Colour the text is drawn in now.
    QColor FontColor() const { return font_color_; }
    // GBK bytes.
    const std::string& URL() const { return url_; }
    const std::string& Caption() const { return caption_; }
    QColor Color() const { return color_; }
    const QString& FontName() const { return font_name_; }
    const QFont& LabelFont() const { return font_; }

    void SetURL(std::string_view url);
    void SetCaption(std::string_view caption);
    void SetColor(const QColor& color);
    void SetFontName(const QString& face);

protected:
    // Asks for a fresh paint.
    virtual void Repaint();

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void CMMouseEnter();
    void CMMouseLeave();

    AddressOpener& opener_;
    QColor link_color_;
    std::string url_;
    std::string caption_;
    QColor color_;
    QString font_name_;
    QFont font_;
    QColor font_color_;
};

}  // namespace haojian
