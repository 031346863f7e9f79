#include "ui/frmScheduler.h"

void frmScheduler::chkAutoStart_Click() {}
void frmScheduler::chkCleanBackupDir_Click() {}
void frmScheduler::chkProcessInternetOrders_Click() {}
void frmScheduler::chkRunUpdateManager_Click() {}
void frmScheduler::chkSendSms_Click() {}
void frmScheduler::chkTransferData_Click() {}
void frmScheduler::chkTransferPerson_Click() {}
void frmScheduler::cmbMIn_Click() {}
void frmScheduler::cmbSMSTime_Click() {}
void frmScheduler::cmbTransferMin_Click() {}
