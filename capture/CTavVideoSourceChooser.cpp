#include "capture/CTavVideoSourceChooser.h"

#include "controls/UserDialogs.h"
#include "resources/SourceChooserDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kFriendlyName = QStringLiteral("FriendlyName");
const QString kCaption = QStringLiteral("Vessa Video Player");

} // namespace

CTavVideoSourceChooser::CTavVideoSourceChooser(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const res::DialogTemplate& dialog = SourceChooserDialogTemplate();
    setFont(res::DialogFont(dialog));
    setWindowTitle(QString::fromUtf8(dialog.pszTitle));
    setFixedSize(res::DialogUnitsToPixels(dialog.cx, dialog.cy, font()));
    DoDataExchange();
}

void CTavVideoSourceChooser::DoDataExchange()
{
    // Built in template order, which is also the tab order.
    QGroupBox* group = nullptr;
    for (const res::ControlTemplate& row : SourceChooserDialogTemplate().controls) {
        switch (row.kind) {
        case res::ControlClass::DefPushButton:
        case res::ControlClass::PushButton: {
            auto* button = new QPushButton(this);
            res::BindControl(button, row);
            const bool bOk = row.nId == IDOK;
            button->setDefault(bOk);
            button->setAutoDefault(bOk);
            connect(button, &QPushButton::clicked, this, bOk ? &QDialog::accept : &QDialog::reject);
            if (bOk) {
                m_pOk = button;
            }
            break;
        }
        case res::ControlClass::ComboBox:
            m_cbDevices.setParent(this);
            m_cbDevices.setEditable(true);
            // Typing chooses among the listed devices; it never adds one.
            m_cbDevices.setInsertPolicy(QComboBox::NoInsert);
            res::BindControl(&m_cbDevices, row);
            break;
        default:
            group = new QGroupBox(this);
            res::BindControl(group, row);
            break;
        }
    }
    if (group != nullptr) {
        // The frame lies around the list; clicks must reach the list through it.
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->lower();
    }
}

int CTavVideoSourceChooser::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CTavVideoSourceChooser::OnInitDialog()
{
    ListDevices();
    m_cbDevices.setCurrentIndex(m_cbDevices.count() > 0 ? 0 : -1);
    if (m_pOk != nullptr) {
        m_pOk->setEnabled(!m_devices.empty());
    }
    m_cbDevices.setFocus();
}

void CTavVideoSourceChooser::ListDevices()
{
    const std::shared_ptr<ICreateDevEnum> pDevEnum = ICreateDevEnum::Create();
    if (!pDevEnum) {
        ShowMessage(QStringLiteral("Error Creating Device Enumerator"));
        return;
    }
    std::shared_ptr<IEnumMoniker> pEnum;
    if (pDevEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &pEnum, 0) != S_OK ||
        !pEnum) {
        // A blank line between the two sentences.
        ShowMessage(QStringLiteral("Sorry, you have no video capture hardware.\n\n"
                                   "Video capture will not function properly."));
        return;
    }
    pEnum->Reset();
    std::shared_ptr<IMoniker> pMoniker;
    while (pEnum->Next(&pMoniker) == S_OK) {
        std::shared_ptr<IPropertyBag> pBag;
        if (Failed(pMoniker->BindToStorage(&pBag))) {
            continue;
        }
        QString strName;
        if (pBag->Read(kFriendlyName, &strName) == S_OK) {
            AddDevice(strName, pMoniker);
        }
    }
}

void CTavVideoSourceChooser::AddDevice(const QString& strName, std::shared_ptr<IMoniker> pMoniker)
{
    // A sorted list: each name goes before the first that sorts after it, letter case aside.
    int nAt = 0;
    while (nAt < m_cbDevices.count() &&
           QString::compare(m_cbDevices.itemText(nAt), strName, Qt::CaseInsensitive) <= 0) {
        ++nAt;
    }
    m_cbDevices.insertItem(nAt, strName, static_cast<int>(m_devices.size()));
    m_devices.push_back({strName, std::move(pMoniker)});
}

void CTavVideoSourceChooser::ShowMessage(const QString& strText)
{
    CUserDialogs::MessageBox(parentWidget(), strText, kCaption, QMessageBox::Ok);
}

int CTavVideoSourceChooser::ChosenDevice() const
{
    int nEntry = m_cbDevices.currentIndex();
    // The text can be edited: when it names another listed device, that one is meant.
    const QString strText = m_cbDevices.currentText();
    if (nEntry < 0 || m_cbDevices.itemText(nEntry) != strText) {
        const int nNamed = m_cbDevices.findText(strText, Qt::MatchExactly);
        if (nNamed >= 0) {
            nEntry = nNamed;
        }
    }
    return nEntry >= 0 ? m_cbDevices.itemData(nEntry).toInt() : -1;
}

void CTavVideoSourceChooser::accept()
{
    const int nDevice = ChosenDevice();
    if (nDevice < 0 || nDevice >= static_cast<int>(m_devices.size())) {
        return; // nothing listed: there is nothing to hand over
    }
    m_pDeviceMoniker = m_devices[static_cast<std::size_t>(nDevice)].pMoniker;
    m_strDeviceName = m_devices[static_cast<std::size_t>(nDevice)].strName;
    QDialog::accept();
}
