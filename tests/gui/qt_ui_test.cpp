// The viewer's Ui: message boxes with the exact text, caption, icon and buttons, top-most, the
// answer of each button, no second box while one is open; the filter texts of the file
// dialogs; and the log-on dialog driven through its three tries by the real rules.
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/user_authent_dlg.h"
#include "gui/qt_ui.h"
#include "gui/user_authentication_dialog.h"
#include "gui_test_support.h"

using lumatix::app::Answer;
using lumatix::app::Buttons;
using lumatix::app::Icon;
using lumatix::gui::QtUi;
using lumatix::gui::UserAuthenticationDialog;
using namespace lumatix::guitest;

Q_DECLARE_METATYPE(Icon)
Q_DECLARE_METATYPE(Buttons)
Q_DECLARE_METATYPE(Answer)

namespace {

class ScriptedAuthenticator : public lumatix::platform::Authenticator {
 public:
  bool authenticate(const std::string& user, const std::string& password) override {
    tries.push_back(user + ":" + password);
    return user == "jsmith" && password == "right";
  }
  std::vector<std::string> tries;
};

// One try in the log-on dialog: notes where the focus was, types, ticks "I Agree", presses OK.
std::function<void(QWidget*)> logOn(const QString& user, const QString& password, QStringList& log) {
  return [user, password, &log](QWidget* w) {
    auto* dialog = qobject_cast<UserAuthenticationDialog*>(w);
    QVERIFY(dialog != nullptr);
    // The dialog's own focus child: the application's focus follows only once the window is
    // active, which a busy machine may not have done yet when the script answers.
    log << (dialog->focusWidget() == dialog->passwordEdit() ? QStringLiteral("password") : QStringLiteral("user"));
    dialog->userNameEdit()->setText(user);
    dialog->passwordEdit()->setText(password);
    dialog->agreeBox()->setChecked(true);
    dialog->okButton()->click();
  };
}

std::function<void(QWidget*)> acknowledge(QStringList& log) {
  return [&log](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box != nullptr);
    log << box->text();
    box->button(QMessageBox::Ok)->click();
  };
}

}  // namespace

class QtUiTest : public QObject {
  Q_OBJECT
 private slots:
  void messageShowsTextIconAndButtons_data() {
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<int>("qtButtons");
    QTest::addColumn<Answer>("answer");
    const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int yesNoCancel = yesNo | QMessageBox::Cancel;
    const int retryCancel = QMessageBox::Retry | QMessageBox::Cancel;
    QTest::newRow("information, OK") << Icon::Information << Buttons::Ok << int(QMessageBox::Ok)
                                     << int(QMessageBox::Information) << int(QMessageBox::Ok) << Answer::Ok;
    QTest::newRow("warning, OK/Cancel, Cancel") << Icon::Warning << Buttons::OkCancel << int(QMessageBox::Cancel)
                                                << int(QMessageBox::Warning) << okCancel << Answer::Cancel;
    QTest::newRow("error, Retry") << Icon::Error << Buttons::RetryCancel << int(QMessageBox::Retry)
                                  << int(QMessageBox::Critical) << retryCancel << Answer::Retry;
    QTest::newRow("question, No") << Icon::Question << Buttons::YesNo << int(QMessageBox::No)
                                  << int(QMessageBox::Question) << yesNo << Answer::No;
    QTest::newRow("no icon, Yes of three") << Icon::None << Buttons::YesNoCancel << int(QMessageBox::Yes)
                                           << int(QMessageBox::NoIcon) << yesNoCancel << Answer::Yes;
  }
  void messageShowsTextIconAndButtons() {
    QFETCH(Icon, icon);
    QFETCH(Buttons, buttons);
    QFETCH(int, press);
    QFETCH(int, qtIcon);
    QFETCH(int, qtButtons);
    QFETCH(Answer, answer);
    QtUi ui;
    SeenMessage seen;
    answerNextMessage(seen, static_cast<QMessageBox::StandardButton>(press));
    // Tabs, line feeds and a "%s" reach the box as they are, and markup stays text.
    const std::string text = "Error!\n\tThe file <b>%s</b> is corrupt.\n";
    QCOMPARE(ui.showMessage(text, "Lumatix Viewer", icon, buttons), answer);
    QCOMPARE(seen.text, QString::fromStdString(text));
    QCOMPARE(seen.caption, QStringLiteral("Lumatix Viewer"));
    QCOMPARE(int(seen.icon), qtIcon);
    QCOMPARE(int(seen.buttons), qtButtons);
    QVERIFY(seen.onTop);
    QVERIFY(!ui.messageShowing());
  }

  void escapeAnswersAsTheWayOut_data() {
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("OK") << Buttons::Ok << Answer::Ok;
    QTest::newRow("OK/Cancel") << Buttons::OkCancel << Answer::Cancel;
    QTest::newRow("Yes/No/Cancel") << Buttons::YesNoCancel << Answer::Cancel;
  }
  void escapeAnswersAsTheWayOut() {
    QFETCH(Buttons, buttons);
    QFETCH(Answer, answer);
    QtUi ui;
    onNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(ui.showMessage("Closing?", "Lumatix Viewer", Icon::Question, buttons), answer);
  }

  void aSecondMessageWhileOneIsOpenIsNotShown() {
    QtUi ui;
    Answer inner = Answer::Ok;
    int boxesSeen = 0;
    onNextModal([&](QWidget* w) {
      ++boxesSeen;
      // A notice arriving while the first box is open asks for another one.
      inner = ui.showMessage("second", "Lumatix Viewer", Icon::Warning, Buttons::OkCancel);
      qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(ui.showMessage("first", "Lumatix Viewer", Icon::Information, Buttons::Ok), Answer::Ok);
    QCOMPARE(inner, Answer::NotShown);
    QCOMPARE(boxesSeen, 1);
    // Once it is closed the next one shows again.
    SeenMessage seen;
    answerNextMessage(seen, QMessageBox::Ok);
    QCOMPARE(ui.showMessage("third", "Lumatix Viewer", Icon::Information, Buttons::Ok), Answer::Ok);
    QCOMPARE(seen.text, QStringLiteral("third"));
  }

  void filterTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::newRow("pattern in the name") << "LumBinaryX  (*.dsx)" << "*.dsx" << "LumBinaryX  (*.dsx)";
    QTest::newRow("pattern apart") << "LumatixCSV" << "*.csv" << "LumatixCSV (*.csv)";
    QTest::newRow("no pattern: any name") << "Datastore Directory Tree Structure" << ""
                                          << "Datastore Directory Tree Structure (*)";
  }
  void filterTexts() {
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QCOMPARE(lumatix::gui::filterText({name.toStdString(), pattern.toStdString()}), text);
  }

  void saveChooserReportsTheFileAndTheFilter() {
    QTemporaryDir dir;
    QtUi ui;
    const QString target = dir.path() + "/out.csv";
    onNextModal([target](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Save As"));
      QCOMPARE(dialog->selectedNameFilter(), QStringLiteral("LumatixCSV (*.csv)"));
      dialog->selectFile(target);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    auto choice = ui.chooseSaveFile("Save As", "out.csv", {{"LumatixTSV", "*.txt"}, {"LumatixCSV", "*.csv"}}, 2);
    QVERIFY(choice.has_value());
    QCOMPARE(QString::fromStdString(choice->path), target);
    QCOMPARE(choice->filterIndex, 2);
  }

  void logOnDialogMasksAndNeedsIAgree() {
    lumatix::app::AuthenticationPrompt prompt;
    prompt.caption = lumatix::app::kAuthenticationCaption;
    prompt.heading = lumatix::app::kAuthenticationHeading;
    prompt.statement = lumatix::app::kAuthenticationStatement;
    prompt.userName = "jsmith";
    UserAuthenticationDialog dialog(prompt);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("User Authentication"));
    QCOMPARE(dialog.userNameEdit()->text(), QStringLiteral("jsmith"));
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.agreeBox()->text(), QStringLiteral("I Agree"));
    QVERIFY(!dialog.okButton()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), dialog.userNameEdit());
    // From the keyboard: Tab to the password, type, Tab to "I Agree", Space ticks it.
    QTest::keyClick(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.passwordEdit());
    QTest::keyClicks(dialog.passwordEdit(), "secret");
    QTest::keyClick(&dialog, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialog.agreeBox());
    QTest::keyClick(dialog.agreeBox(), Qt::Key_Space);
    QVERIFY(dialog.okButton()->isEnabled());
    dialog.agreeBox()->setChecked(false);
    QVERIFY(!dialog.okButton()->isEnabled());
    // Enter does not get past a cleared "I Agree".
    QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    dialog.agreeBox()->setChecked(true);
    QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    auto typed = dialog.credentials();
    QCOMPARE(QString::fromStdString(typed.password), QStringLiteral("secret"));
    QVERIFY(typed.agreed);

    prompt.focus = lumatix::app::CredentialsFocus::Password;
    UserAuthenticationDialog again(prompt);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(QApplication::focusWidget(), again.passwordEdit());
  }

  void threeFailedTriesEndAfterTwoSorryMessages() {
    QtUi ui;
    ScriptedAuthenticator pam;
    lumatix::app::CUserAuthentDlg rules(pam, "jsmith", true);
    QStringList log;
    // A name in another letter case, then two wrong passwords.
    ModalScript script({logOn("JSmith", "right", log), acknowledge(log), logOn("jsmith", "wrong", log),
                        acknowledge(log), logOn("jsmith", "wrong", log)});
    QVERIFY(!rules.run(ui));
    QCOMPARE(script.answered(), std::size_t(5));
    QCOMPARE(rules.attemptsLeft(), 0);
    const QString sorry = QString::fromUtf8(lumatix::app::kAuthenticationSorry);
    QCOMPARE(log, (QStringList{"user", sorry, "user", sorry, "password"}));
    // The first try was refused on the name alone; the other two went to the log-on.
    QCOMPARE(pam.tries, (std::vector<std::string>{"jsmith:wrong", "jsmith:wrong"}));
  }

  void rightPasswordLogsOn() {
    QtUi ui;
    ScriptedAuthenticator pam;
    lumatix::app::CUserAuthentDlg rules(pam, "jsmith", true);
    QStringList log;
    ModalScript script({logOn("jsmith", "right", log)});
    QVERIFY(rules.run(ui));
    QVERIFY(rules.authenticated());
    QCOMPARE(log, QStringList{"user"});
  }

  void cancelRefuses() {
    QtUi ui;
    ScriptedAuthenticator pam;
    lumatix::app::CUserAuthentDlg rules(pam, "jsmith", true);
    ModalScript script({[](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }});
    QVERIFY(!rules.run(ui));
    QVERIFY(pam.tries.empty());
  }
};

QTEST_MAIN(QtUiTest)
#include "qt_ui_test.moc"
