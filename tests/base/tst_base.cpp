// Borderless dialog dragging and closing, and the message box.
#include "FramelessDialog.h"
#include "MyMessageBox.h"
#include "GlobalSettings.h"
#include "TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestBase : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data();
    void hitTest();
    void closingDoesNotEndProgram();
    void backgroundPicture();
    void messageBoxAnswer_data();
    void messageBoxAnswer();
};

void TestBase::hitTest_data()
{
    QTest::addColumn<QPoint>("pos"); // in window coordinates
    QTest::addColumn<int>("code");
    QTest::newRow("bare background") << QPoint(5, 5) << int(FramelessDialog::HitCaption);
    QTest::newRow("on a label") << QPoint(25, 25) << int(FramelessDialog::HitNowhere);
    QTest::newRow("on a button") << QPoint(125, 25) << int(FramelessDialog::HitNowhere);
    QTest::newRow("outside") << QPoint(500, 500) << int(FramelessDialog::HitNowhere);
}

void TestBase::hitTest()
{
    QFETCH(QPoint, pos);
    FramelessDialog dialog;
    dialog.setFixedSize(300, 200);
    auto *label = new QLabel(u"标签"_s, &dialog);
    label->setGeometry(20, 20, 60, 20);
    auto *button = new QPushButton(u"确定"_s, &dialog);
    button->setGeometry(120, 20, 60, 20);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTEST(dialog.hitTest(dialog.mapToGlobal(pos)), "code");
}

void TestBase::closingDoesNotEndProgram()
{
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    auto *dialog = new FramelessDialog;
    QVERIFY(!dialog->testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->close();
    QCoreApplication::processEvents();
    QCOMPARE(lastClosed.count(), 0);
    delete dialog;
}

void TestBase::backgroundPicture()
{
    QWidget window;
    QWidget child(&window);
    FramelessDialog::setBackgroundImage(&child, u"bg_dialog.png"_s);
    QVERIFY(child.autoFillBackground());
    const QPixmap picture = child.palette().brush(QPalette::Window).texture();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(640, 480));
}

void TestBase::messageBoxAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("download") << u"立即下载"_s;
    QTest::newRow("later") << u"暂时不用"_s;
}

void TestBase::messageBoxAnswer()
{
    QFETCH(QString, answer);
    MyMessageBox::setAutoAnswer(true, answer);
    MyMessageBox::shownMessages().clear();
    MyMessageBox box(nullptr);
    box.addButton(u"暂时不用"_s, QMessageBox::NoRole);
    box.addButton(u"立即下载"_s, QMessageBox::YesRole);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"检测到新版本，是否立即更新？"_s);
    QVERIFY(box.clickedButton());
    QCOMPARE(box.clickedButton()->text(), answer);
    QCOMPARE(MyMessageBox::shownMessages(), QStringList{u"系统消息|检测到新版本，是否立即更新？"_s});
    MyMessageBox::setAutoAnswer(false);
}

QPA_TEST_MAIN(TestBase)
#include "tst_base.moc"
