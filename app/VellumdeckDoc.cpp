#include "VellumdeckDoc.h"

bool CVellumdeckDoc::OnNewDocument()
{
    return true;
}
