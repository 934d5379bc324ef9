// SPDX-License-Identifier: GPL-2.0-or-later
#include "MprisRootAdaptor.h"

MprisRootAdaptor::MprisRootAdaptor(MprisService* service) : QDBusAbstractAdaptor(service), m_service(service)
{
}

QString MprisRootAdaptor::Identity() const
{
    return QStringLiteral("Vellumdeck");
}

QString MprisRootAdaptor::DesktopEntry() const
{
    return MprisService::kDesktopEntry;
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const
{
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const
{
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-vellumdeck-study"),
            QStringLiteral("audio/x-vellumdeck-playlist")};
}

void MprisRootAdaptor::Raise()
{
    m_service->Raise();
}

void MprisRootAdaptor::Quit()
{
    m_service->Quit();
}
