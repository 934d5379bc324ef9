// SPDX-License-Identifier: GPL-2.0-or-later
#include "MprisPlayerAdaptor.h"

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service)
{
    connect(service, &MprisService::Seeked, this, &MprisPlayerAdaptor::Seeked);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    m_service->SetPosition(trackId.path(), position);
}
