#include "SoftInputPanel.h"

BOOL SoftInputPanel::SipShowIM(DWORD)
{
    return 1;
}
