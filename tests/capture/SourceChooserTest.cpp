// The capture source chooser on the tests' own device provider: what it lists, what it selects,
// and which device OK hands over. (With no device at all, see "Video In" in the main window.)

#include "ChooserAnswer.h"
#include "TestDeviceProvider.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

QString NameOf(const std::shared_ptr<IMoniker>& pMoniker)
{
    std::shared_ptr<IPropertyBag> pBag;
    QString strName;
    if (pMoniker && pMoniker->BindToStorage(&pBag) == S_OK) {
        pBag->Read(QStringLiteral("FriendlyName"), &strName);
    }
    return strName;
}

TEST(SourceChooserTest, ListsNamedDevicesSortedAnyCaseAndHandsOverTheOneInTheBox)
{
    RegisterTestDeviceProvider();
    // Nameless devices (no name, an empty one) are neither listed nor handed over.
    SetTestDevices({{"Z Camera"}, {"b Camera"}, {""}, {"A Camera"}, {nullptr}});
    const struct
    {
        const char* name;
        std::function<void(QComboBox*)> choose;
        const char* yielded;
    } answers[] = {
        {"OK on the first", [](QComboBox*) {}, "A Camera"},
        {"the last entry", [](QComboBox* list) { list->setCurrentIndex(2); }, "Z Camera"},
        {"a listed name typed",
         [](QComboBox* list) { list->lineEdit()->setText(QStringLiteral("b Camera")); },
         "b Camera"},
    };
    for (const auto& c : answers) {
        SCOPED_TRACE(c.name);
        QStringList listed;
        WhenChooserShows([&](CTavVideoSourceChooser& dlg) {
            auto* list = res::FindControl<QComboBox>(&dlg, IDC_DEVICE_LIST);
            for (int i = 0; i < list->count(); ++i) {
                listed.append(list->itemText(i));
            }
            EXPECT_EQ(list->currentIndex(), 0);
            c.choose(list);
            ChooserButton(dlg, IDOK)->click();
        });
        CTavVideoSourceChooser dlg;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(listed.join(QLatin1Char('|')).toStdString(), "A Camera|b Camera|Z Camera");
        EXPECT_EQ(NameOf(dlg.m_pDeviceMoniker).toStdString(), c.yielded);
        EXPECT_EQ(dlg.GetDeviceName().toStdString(), c.yielded);
    }
    SetTestDevices({});
}

} // namespace
