#include "settings/Settings.h"
#include "ui/frmScheduler.h"

void frmScheduler::chkAutoStart_Click()
{
    SaveControlSetting(*this, *chkAutoStart);
}

void frmScheduler::chkCleanBackupDir_Click()
{
    SaveControlSetting(*this, *chkCleanBackupDir);
}

void frmScheduler::chkProcessInternetOrders_Click()
{
    SaveControlSetting(*this, *chkProcessInternetOrders);
}

void frmScheduler::chkRunUpdateManager_Click()
{
    SaveControlSetting(*this, *chkRunUpdateManager);
}

void frmScheduler::chkSendSms_Click()
{
    SaveControlSetting(*this, *chkSendSms);
}

void frmScheduler::chkTransferData_Click()
{
    SaveControlSetting(*this, *chkTransferData);
}

void frmScheduler::chkTransferPerson_Click()
{
    SaveControlSetting(*this, *chkTransferPerson);
}

void frmScheduler::cmbMIn_Click()
{
    SaveControlSetting(*this, *cmbMIn);
}

void frmScheduler::cmbSMSTime_Click()
{
    SaveControlSetting(*this, *cmbSMSTime);
}

void frmScheduler::cmbTransferMin_Click()
{
    SaveControlSetting(*this, *cmbTransferMin);
}
