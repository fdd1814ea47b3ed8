// The capture source chooser on the tests' own device provider: what it lists, what it selects,
// what it says, and which device OK hands over.

#include "ChooserAnswer.h"
#include "TestDeviceProvider.h"
#include "controls/UserDialogs.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString kNoHardware =
    QStringLiteral("Vessa Video Player: Sorry, you have no video capture "
                   "hardware.\n\nVideo capture will not function properly.");

enum class Answer
{
    OkOnSelection, // OK on whatever is selected when the dialog shows
    ChooseSecond,  // the second entry of the list, then OK
    TypeZ,         // "Z Camera" typed into the box, then OK
    OkThenEnter,   // OK clicked and Enter pressed (with nothing listed neither may hand over)
    Cancel,
};

struct ChooserCase
{
    const char* name;
    std::vector<TestDevice> devices; // in enumeration order
    Answer answer;
    QStringList listed; // in list order
    int nSelected;      // when the dialog shows
    int nResult;
    QString yielded; // the name read from the device handed over; empty: none
    QStringList messages;
};

class SourceChooserTest : public ::testing::TestWithParam<ChooserCase>
{
protected:
    void SetUp() override
    {
        RegisterTestDeviceProvider();
        CUserDialogs::Reset();
        CUserDialogs::SetNextAnswer(QMessageBox::Ok);
    }
    void TearDown() override
    {
        CUserDialogs::Reset();
        SetTestDevices({});
    }
};

QString NameOf(const std::shared_ptr<IMoniker>& pMoniker)
{
    std::shared_ptr<IPropertyBag> pBag;
    QString strName;
    if (pMoniker && pMoniker->BindToStorage(&pBag) == S_OK) {
        pBag->Read(QStringLiteral("FriendlyName"), &strName);
    }
    return strName;
}

TEST_P(SourceChooserTest, ListsNamedDevicesSortedAndHandsOverTheChosenOne)
{
    const ChooserCase& c = GetParam();
    SetTestDevices(c.devices);
    QStringList listed;
    int nSelected = -2;
    bool bOkEnabled = false;
    WhenChooserShows([&](CTavVideoSourceChooser& dlg) {
        QComboBox* list = DeviceList(dlg);
        for (int i = 0; i < list->count(); ++i) {
            listed.append(list->itemText(i));
        }
        nSelected = list->currentIndex();
        bOkEnabled = ChooserButton(dlg, IDOK)->isEnabled();
        switch (c.answer) {
        case Answer::OkOnSelection:
            ChooserButton(dlg, IDOK)->click();
            break;
        case Answer::ChooseSecond:
            ChooseEntry(dlg, 1);
            break;
        case Answer::TypeZ:
            list->lineEdit()->setText(QStringLiteral("Z Camera"));
            ChooserButton(dlg, IDOK)->click();
            break;
        case Answer::OkThenEnter:
            ChooserButton(dlg, IDOK)->click();
            QTest::keyClick(&dlg, Qt::Key_Return);
            break;
        case Answer::Cancel:
            ChooserButton(dlg, IDCANCEL)->click();
            break;
        }
    });

    CTavVideoSourceChooser dlg;
    const int nResult = dlg.DoModal();

    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(nSelected, c.nSelected);
    EXPECT_EQ(bOkEnabled, !c.listed.isEmpty());
    EXPECT_EQ(nResult, c.nResult);
    if (nResult == IDOK) {
        EXPECT_EQ(NameOf(dlg.m_pDeviceMoniker), c.yielded);
        EXPECT_EQ(dlg.GetDeviceName(), c.yielded);
    }
    EXPECT_EQ(CUserDialogs::TakeAskedTexts(), c.messages);
}

const QString kA = QStringLiteral("A Camera");
const QString kZ = QStringLiteral("Z Camera");
const TestDevice kDevA{"A Camera"};
const TestDevice kDevZ{"Z Camera"};
const TestDevice kNameless{"", false};
const TestDevice kEmptyName{"", true};
// Letter case does not decide the order: "b Camera" sorts between "A Camera" and "Z Camera".
const TestDevice kDevLowerB{"b Camera"};

INSTANTIATE_TEST_SUITE_P(
    Cases, SourceChooserTest,
    ::testing::Values(
        ChooserCase{"ZThenAShowsAFirstAndYieldsIt",
                    {kDevZ, kDevA},
                    Answer::OkOnSelection,
                    {kA, kZ},
                    0,
                    IDOK,
                    kA,
                    {}},
        ChooserCase{"ZThenAWithZChosenYieldsZ",
                    {kDevZ, kDevA},
                    Answer::ChooseSecond,
                    {kA, kZ},
                    0,
                    IDOK,
                    kZ,
                    {}},
        ChooserCase{
            "TypedNameChoosesThatDevice", {kDevZ, kDevA}, Answer::TypeZ, {kA, kZ}, 0, IDOK, kZ, {}},
        ChooserCase{"SortIgnoresLetterCase",
                    {kDevZ, kDevLowerB, kDevA},
                    Answer::ChooseSecond,
                    {kA, QStringLiteral("b Camera"), kZ},
                    0,
                    IDOK,
                    QStringLiteral("b Camera"),
                    {}},
        ChooserCase{"NamelessDevicesAreNeitherListedNorYielded",
                    {kDevA, kEmptyName, kNameless},
                    Answer::OkOnSelection,
                    {kA},
                    0,
                    IDOK,
                    kA,
                    {}},
        ChooserCase{"NoDeviceSaysSoAndOkHandsNothingOver",
                    {},
                    Answer::OkThenEnter,
                    {},
                    -1,
                    IDCANCEL,
                    {},
                    {kNoHardware}},
        ChooserCase{"CancelYieldsNothing", {kDevA}, Answer::Cancel, {kA}, 0, IDCANCEL, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
