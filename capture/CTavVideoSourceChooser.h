#pragma once

#include "capture/DeviceEnum.h"

#include <QComboBox>
#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

class QPushButton;

// "Choose Video Source": lists the names of the video capture devices present when it opens, in
// alphabetical order with the first one selected, and yields the device whose name is selected
// when the user presses OK. A device without a name is not listed. With no device listed, OK is
// disabled and nothing can be yielded.
class CTavVideoSourceChooser : public QDialog
{
    Q_OBJECT

public:
    explicit CTavVideoSourceChooser(QWidget* parent = nullptr);

    // Lists the devices and runs the dialog modally: IDOK or IDCANCEL.
    int DoModal();
    void OnInitDialog();

    // After IDOK: the chosen device (null when none was listed) and its name.
    std::shared_ptr<IMoniker> m_pDeviceMoniker;
    QString GetDeviceName() const { return m_strDeviceName; }

    void accept() override;

private:
    struct Device
    {
        QString strName;
        std::shared_ptr<IMoniker> pMoniker;
    };

    void DoDataExchange();
    void ListDevices();
    void AddDevice(const QString& strName, std::shared_ptr<IMoniker> pMoniker);
    void ShowMessage(const QString& strText);
    // The device of the entry the user chose; -1 when there is none.
    int ChosenDevice() const;

    QComboBox m_cbDevices;
    QPushButton* m_pOk = nullptr;
    QString m_strDeviceName;
    std::vector<Device> m_devices; // in enumeration order; an entry's data is its index here
};
