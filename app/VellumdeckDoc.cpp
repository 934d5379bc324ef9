#include "VellumdeckDoc.h"

bool CVellumdeckDoc::OnNewDocument()
{
    SetModifiedFlag(false);
    return true;
}

void CVellumdeckDoc::Serialize(bool)
{
}
