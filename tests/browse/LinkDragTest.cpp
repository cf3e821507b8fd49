#include <gtest/gtest.h>

#include <memory>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include "browse/LinkDrag.h"

namespace {
QString u(char16_t c) {
    return QString(QChar(c));
}
} // namespace

// A Link button's drag carries 8-bit formats: a caption with a character outside the code page
// still makes a drag another program reads, and the drop back on a button still finds the Link.
TEST(LinkDrag, FormatsOfALinkButtonAreEightBit) {
    const QString caption = QStringLiteral("Bank ") + u(0x0141) + u(0x00F3) + u(0x0064) + u(0x017E);
    const QString url = QStringLiteral("http://bank.test/") + u(0x00E9);
    QTemporaryDir folder;
    LinkDrag drag(7, url, caption, folder.path());
    std::unique_ptr<QMimeData> data(drag.MimeData());
    EXPECT_EQ(data->data(QLatin1String(LinkDrag::kUrlFormat)), QByteArray("http://bank.test/\xE9"));
    EXPECT_EQ(data->data(QLatin1String(LinkDrag::kLinkFormat)),
              QByteArray("7::http://bank.test/\xE9::Bank ?\xF3"
                         "d\x9E::cmdLink"));
    const LinkDrag::Drop drop = LinkDrag::Parse(data.get());
    EXPECT_EQ(drop.kind, LinkDrag::Drop::LinkButton);
    EXPECT_EQ(drop.sourceIndex, 7);

    ASSERT_FALSE(drag.ShortcutPath().isEmpty());
    QFile shortcut(drag.ShortcutPath());
    ASSERT_TRUE(shortcut.open(QIODevice::ReadOnly));
    EXPECT_EQ(shortcut.readAll(), QByteArray("[InternetShortcut]\r\nURL=http://bank.test/\xE9\r\n"));
}
