// Tests of the show/hide hot key: the key table, the display, registration and recognition rules,
// and the capturing edit.
#include "FakeNetworkAccessManager.h"
#include "GlobalHotKey.h"
#include "GlobalSettings.h"
#include "HotKeyAtom.h"
#include "HotKeySettingEdit.h"
#include "MainDialog.h"
#include "ShowHideHotKey.h"
#include "TestMain.h"

#include <QFile>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Records what would be asked of the window system; refuses the keys it is told to.
struct FakeBackendState
{
    QStringList calls;
    QSet<int> refusedKeys;
    int registered = 0; // virtual key held now, 0 for none
};

class FakeBackend : public HotKeyBackend
{
public:
    explicit FakeBackend(FakeBackendState *state) : m_state(state) {}
    bool registerKey(WId, int id, int modifiers, int virtualKey) override
    {
        m_state->calls << u"register %1 %2 %3"_s.arg(id).arg(modifiers).arg(virtualKey, 0, 16);
        if (m_state->refusedKeys.contains(virtualKey))
            return false;
        m_state->registered = virtualKey;
        return true;
    }
    void unregisterKey(WId, int id) override
    {
        m_state->calls << u"unregister %1"_s.arg(id);
        m_state->registered = 0;
    }

private:
    FakeBackendState *m_state;
};

QString reg(int modifiers, int virtualKey)
{
    return u"register %1 %2 %3"_s.arg(g_hotKeyAtom).arg(modifiers).arg(virtualKey, 0, 16);
}

QString unreg()
{
    return u"unregister %1"_s.arg(g_hotKeyAtom);
}

} // namespace

class TestHotKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void tableSize();
    void table_data();
    void table();
    void notInTable_data();
    void notInTable();
    void displayRule_data();
    void displayRule();

    void editTakesKey_data();
    void editTakesKey();
    void editIgnores_data();
    void editIgnores();
    void editSameKeyDoesNothing();
    void editDeleteThenSameKeyReRegisters();
    void editRefusedKey();
    void editTextIsNeverTyped();

    void startupRegistration_data();
    void startupRegistration();
    void recognition_data();
    void recognition();
    void matches_data();
    void matches();
    void quitUnregisters();

private:
    FakeBackendState m_state;
};

void TestHotKey::initTestCase()
{
    g_hotKeyAtom = createHotKeyAtom(u"QuorvikPcAssist"_s);
    GlobalSettings::instance()->initKeyNames();
}

void TestHotKey::init()
{
    m_state = FakeBackendState();
    GlobalHotKey::instance()->setBackend(std::make_unique<FakeBackend>(&m_state));
    GlobalSettings::instance()->resetForTest();
}

void TestHotKey::tableSize()
{
    QCOMPARE(GlobalSettings::instance()->keyNames().size(), 69);
    // Filling twice changes nothing.
    GlobalSettings::instance()->initKeyNames();
    QCOMPARE(GlobalSettings::instance()->keyNames().size(), 69);
}

void TestHotKey::table_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<QString>("name");
    for (int i = 0; i < 12; ++i)
        QTest::addRow("F%d", i + 1) << 16777264 + i << 0x70 + i << u"F%1"_s.arg(i + 1);
    for (int i = 0; i < 10; ++i)
        QTest::addRow("digit %d", i) << 48 + i << 0x30 + i << QString::number(i);
    for (int i = 0; i < 26; ++i)
        QTest::addRow("letter %c", 'A' + i) << 65 + i << 0x41 + i << QString(QChar('A' + i));
    const struct { const char *row; int qt; int vk; const char16_t *name; } singles[] = {
        {"Insert", 16777222, 0x2D, u"Insert"}, {"Left", 16777234, 0x25, u"Left"},
        {"Up", 16777235, 0x26, u"Up"}, {"Right", 16777236, 0x27, u"Right"},
        {"Down", 16777237, 0x28, u"Down"}, {"PageDown", 16777239, 0x22, u"PageDown"},
        {"PageUp", 16777238, 0x21, u"PageUp"}, {"Home", 16777232, 0x24, u"Home"},
        {"End", 16777233, 0x23, u"End"}, {"CapsLock", 16777252, 0x14, u"CapsLock"},
        {"backquote", 96, 0xC0, u"\u0060"}, {"minus", 45, 0xBD, u"-"}, {"equal", 61, 0xBB, u"="},
        {"bracket left", 91, 0xDB, u"["}, {"bracket right", 93, 0xDD, u"]"},
        {"backslash", 92, 0xDC, u"\\"}, {"semicolon", 59, 0xBA, u";"},
        {"apostrophe", 39, 0xDE, u"'"}, {"comma", 44, 0xBC, u","}, {"period", 46, 0xBE, u"."},
        {"slash", 47, 0xBF, u"/"},
    };
    for (const auto &s : singles)
        QTest::newRow(s.row) << s.qt << s.vk << QString::fromUtf16(s.name);
}

void TestHotKey::table()
{
    QFETCH(int, qtKey);
    QFETCH(int, virtualKey);
    QFETCH(QString, name);
    const KeyName *entry = GlobalSettings::instance()->findKeyName(qtKey);
    QVERIFY(entry);
    QCOMPARE(entry->virtualKey, virtualKey);
    QCOMPARE(entry->displayName, name);
}

void TestHotKey::notInTable_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::newRow("F13") << int(Qt::Key_F13);
    QTest::newRow("F24") << int(Qt::Key_F24);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Delete") << int(Qt::Key_Delete);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
    QTest::newRow("Shift") << int(Qt::Key_Shift);
    QTest::newRow("Control") << int(Qt::Key_Control);
    QTest::newRow("Alt") << int(Qt::Key_Alt);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
    QTest::newRow("lower-case a code") << int('a');
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
}

void TestHotKey::notInTable()
{
    QFETCH(int, qtKey);
    QVERIFY(!GlobalSettings::instance()->findKeyName(qtKey));
    QCOMPARE(ShowHideHotKey::displayText(qtKey), QString());
    QVERIFY(!ShowHideHotKey::registerKey(1, qtKey));
    QVERIFY(m_state.calls.isEmpty());
}

void TestHotKey::displayRule_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("F1 alone") << int(Qt::Key_F1) << u"F1"_s << 0;
    QTest::newRow("F4 alone") << int(Qt::Key_F4) << u"F4"_s << 0;
    QTest::newRow("F12 alone") << int(Qt::Key_F12) << u"F12"_s << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << u"Shift + Ctrl + A"_s << 6;
    QTest::newRow("digit") << int(Qt::Key_7) << u"Shift + Ctrl + 7"_s << 6;
    QTest::newRow("arrow") << int(Qt::Key_Left) << u"Shift + Ctrl + Left"_s << 6;
    QTest::newRow("backslash") << int(Qt::Key_Backslash) << u"Shift + Ctrl + \\"_s << 6;
    QTest::newRow("CapsLock") << int(Qt::Key_CapsLock) << u"Shift + Ctrl + CapsLock"_s << 6;
}

void TestHotKey::displayRule()
{
    QFETCH(int, qtKey);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QCOMPARE(ShowHideHotKey::displayText(qtKey), text);
    QCOMPARE(ShowHideHotKey::modifiersFor(qtKey), modifiers);
}

void TestHotKey::editTakesKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("heldModifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("registration");
    QTest::newRow("A") << int(Qt::Key_A) << int(Qt::NoModifier) << u"Shift + Ctrl + A"_s << reg(6, 0x41);
    QTest::newRow("A with Alt held") << int(Qt::Key_A) << int(Qt::AltModifier) << u"Shift + Ctrl + A"_s << reg(6, 0x41);
    QTest::newRow("A with Ctrl+Shift held") << int(Qt::Key_A) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                           << u"Shift + Ctrl + A"_s << reg(6, 0x41);
    QTest::newRow("F9") << int(Qt::Key_F9) << int(Qt::NoModifier) << u"F9"_s << reg(0, 0x78);
    QTest::newRow("F9 with Ctrl held") << int(Qt::Key_F9) << int(Qt::ControlModifier) << u"F9"_s << reg(0, 0x78);
    QTest::newRow("slash") << int(Qt::Key_Slash) << int(Qt::NoModifier) << u"Shift + Ctrl + /"_s << reg(6, 0xBF);
}

void TestHotKey::editTakesKey()
{
    QFETCH(int, key);
    QFETCH(int, heldModifiers);
    QFETCH(QString, text);
    QFETCH(QString, registration);
    HotKeySettingEdit edit;
    edit.setTargetWindow(7);
    QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(heldModifiers));
    QCOMPARE(edit.text(), text);
    QCOMPARE(edit.currentKey(), key);
    QCOMPARE(GlobalSettings::instance()->hotKey(), key);
    QCOMPARE(m_state.calls, (QStringList{unreg(), registration}));
}

void TestHotKey::editIgnores_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Shift alone") << int(Qt::Key_Shift);
    QTest::newRow("Control alone") << int(Qt::Key_Control);
    QTest::newRow("Alt alone") << int(Qt::Key_Alt);
    QTest::newRow("Meta alone") << int(Qt::Key_Meta);
    QTest::newRow("F13") << int(Qt::Key_F13);
    QTest::newRow("F20") << int(Qt::Key_F20);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestHotKey::editIgnores()
{
    QFETCH(int, key);
    GlobalSettings::instance()->setHotKey(Qt::Key_F4);
    HotKeySettingEdit edit;
    edit.setText(u"F4"_s);
    edit.setCurrentKey(Qt::Key_F4);
    QTest::keyClick(&edit, Qt::Key(key));
    QCOMPARE(edit.text(), u"F4"_s);
    QCOMPARE(edit.currentKey(), int(Qt::Key_F4));
    QCOMPARE(GlobalSettings::instance()->hotKey(), int(Qt::Key_F4));
    QVERIFY(m_state.calls.isEmpty());
}

void TestHotKey::editSameKeyDoesNothing()
{
    HotKeySettingEdit edit;
    QTest::keyClick(&edit, Qt::Key_Q);
    m_state.calls.clear();
    QTest::keyClick(&edit, Qt::Key_Q);
    QTest::keyClick(&edit, Qt::Key_Q, Qt::ShiftModifier);
    QVERIFY(m_state.calls.isEmpty());
    QCOMPARE(edit.text(), u"Shift + Ctrl + Q"_s);
}

void TestHotKey::editDeleteThenSameKeyReRegisters()
{
    HotKeySettingEdit edit;
    QTest::keyClick(&edit, Qt::Key_F9);
    m_state.calls.clear();
    for (Qt::Key clearKey : {Qt::Key_Delete, Qt::Key_Backspace}) {
        QTest::keyClick(&edit, clearKey);
        QCOMPARE(edit.text(), QString());
        QCOMPARE(edit.currentKey(), 0);
        // Clearing the edit does not touch the registered key or the stored one.
        QVERIFY(m_state.calls.isEmpty());
        QCOMPARE(m_state.registered, 0x78);
        QCOMPARE(GlobalSettings::instance()->hotKey(), int(Qt::Key_F9));

        QTest::keyClick(&edit, Qt::Key_F9);
        QCOMPARE(m_state.calls, (QStringList{unreg(), reg(0, 0x78)}));
        QCOMPARE(edit.text(), u"F9"_s);
        m_state.calls.clear();
    }
}

void TestHotKey::editRefusedKey()
{
    HotKeySettingEdit edit;
    QTest::keyClick(&edit, Qt::Key_F9);
    m_state.refusedKeys.insert(0x42);
    m_state.calls.clear();
    QTest::keyClick(&edit, Qt::Key_B);
    // The old key is gone and the new one refused: no hot key, the old text and setting stay.
    QCOMPARE(m_state.calls, (QStringList{unreg(), reg(6, 0x42)}));
    QCOMPARE(m_state.registered, 0);
    QCOMPARE(edit.text(), u"F9"_s);
    QCOMPARE(edit.currentKey(), int(Qt::Key_F9));
    QCOMPARE(GlobalSettings::instance()->hotKey(), int(Qt::Key_F9));
}

void TestHotKey::editTextIsNeverTyped()
{
    HotKeySettingEdit edit;
    QVERIFY(!edit.testAttribute(Qt::WA_InputMethodEnabled));
    QTest::keyClicks(&edit, u"hello"_s);
    QCOMPARE(edit.text(), u"Shift + Ctrl + O"_s);
    // Composed text from an input method never lands in it either.
    QInputMethodEvent im;
    im.setCommitString(u"你好"_s);
    QCoreApplication::sendEvent(&edit, &im);
    QVERIFY(!edit.text().contains(u"你好"_s));
}

void TestHotKey::startupRegistration_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("default F4") << int(Qt::Key_F4) << QStringList{reg(0, 0x73)};
    QTest::newRow("letter Q") << int(Qt::Key_Q) << QStringList{reg(6, 0x51)};
    QTest::newRow("not in table") << int(Qt::Key_F13) << QStringList();
    QTest::newRow("garbage code") << 123456789 << QStringList();
}

void TestHotKey::startupRegistration()
{
    QFETCH(int, stored);
    QFETCH(QStringList, calls);
    installFakeNetwork();
    GlobalSettings::instance()->setHotKey(stored);
    MainDialog dialog;
    dialog.onSettingsLoadFinished();
    QCOMPARE(m_state.calls, calls);
}

void TestHotKey::recognition_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("toggles");
    const int atom = createHotKeyAtom(u"QuorvikPcAssist"_s);
    QTest::newRow("F4 alone") << int(Qt::Key_F4) << atom << 0x73 << 0 << true;
    QTest::newRow("F4 with Ctrl+Shift") << int(Qt::Key_F4) << atom << 0x73 << 6 << true;
    QTest::newRow("F4 with Ctrl") << int(Qt::Key_F4) << atom << 0x73 << 2 << false;
    QTest::newRow("F4, another id") << int(Qt::Key_F4) << atom + 1 << 0x73 << 0 << false;
    QTest::newRow("another key") << int(Qt::Key_F4) << atom << 0x74 << 0 << false;
    QTest::newRow("A with Ctrl+Shift") << int(Qt::Key_A) << atom << 0x41 << 6 << true;
    QTest::newRow("A alone") << int(Qt::Key_A) << atom << 0x41 << 0 << false;
    QTest::newRow("A with Ctrl+Shift+Alt") << int(Qt::Key_A) << atom << 0x41 << 7 << false;
    QTest::newRow("stored key not in table") << int(Qt::Key_F13) << atom << 0x7C << 0 << false;
    QTest::newRow("F12 alone") << int(Qt::Key_F12) << atom << 0x7B << 0 << true;
    QTest::newRow("F12 with Shift") << int(Qt::Key_F12) << atom << 0x7B << 4 << false;
    QTest::newRow("digit alone") << int(Qt::Key_7) << atom << 0x37 << 0 << false;
    QTest::newRow("backslash with Ctrl+Shift") << int(Qt::Key_Backslash) << atom << 0xDC << 6 << true;
    QTest::newRow("letter code of another key") << int(Qt::Key_Q) << atom << 0x41 << 6 << false;
}

void TestHotKey::recognition()
{
    QFETCH(int, stored);
    QFETCH(int, id);
    QFETCH(int, virtualKey);
    QFETCH(int, modifiers);
    QFETCH(bool, toggles);
    installFakeNetwork();
    GlobalSettings::instance()->setHotKey(stored);
    MainDialog dialog;
    QVERIFY(!dialog.isVisible());
    // Delivered the way the window system delivers it.
    GlobalHotKey::instance()->deliver(id, virtualKey, modifiers);
    QCOMPARE(dialog.isVisible(), toggles);
    GlobalHotKey::instance()->deliver(id, virtualKey, modifiers);
    QVERIFY(!dialog.isVisible());
}

void TestHotKey::matches_data()
{
    recognition_data();
}

// The rule alone, as the main window asks it for every delivered press.
void TestHotKey::matches()
{
    QFETCH(int, stored);
    QFETCH(int, id);
    QFETCH(int, virtualKey);
    QFETCH(int, modifiers);
    QFETCH(bool, toggles);
    QCOMPARE(ShowHideHotKey::matches(stored, id, virtualKey, modifiers), toggles);
}

void TestHotKey::quitUnregisters()
{
    installFakeNetwork();
    GlobalSettings::instance()->setOnlyHideWhenClose(false);
    MainDialog dialog;
    dialog.onSettingsLoadFinished();
    m_state.calls.clear();
    dialog.onClose();
    QCOMPARE(m_state.calls, QStringList{unreg()});
}

QPA_TEST_MAIN(TestHotKey)
#include "tst_hotkey.moc"
