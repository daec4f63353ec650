#include "peerclient.h"

#include "hexcodec.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

TPeerClient::TPeerClient() : FSocket(INVALID_SOCKET)
{
    WSADATA data{};
    const char *port = std::getenv("KESTROVA_PEER_PORT");
    if (!port || WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return;
    }
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s != INVALID_SOCKET &&
        connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
        FSocket = s;
    } else if (s != INVALID_SOCKET) {
        closesocket(s);
    }
}

TPeerClient::~TPeerClient()
{
    if (FSocket != INVALID_SOCKET) {
        closesocket(FSocket);
    }
    WSACleanup();
}

bool TPeerClient::Connected() const
{
    return FSocket != INVALID_SOCKET;
}

std::string TPeerClient::Order(const std::string &line)
{
    if (!Connected()) {
        return "error no peer";
    }
    const std::string text = line + "\n";
    if (send(FSocket, text.data(), static_cast<int>(text.size()), 0) != int(text.size())) {
        return "error send";
    }
    std::string reply;
    char c = 0;
    while (recv(FSocket, &c, 1, 0) == 1 && c != '\n') {
        reply += c;
    }
    return reply;
}

bool TPeerClient::Fresh()
{
    return Order("fresh").rfind("ok", 0) == 0;
}

bool TPeerClient::Send(const std::string &bytes)
{
    return Order("send " + Hex(bytes)) == "ok";
}

std::string TPeerClient::Receive(std::size_t max, int waitMs)
{
    const std::string reply = Order("recv " + std::to_string(max) + " " + std::to_string(waitMs));
    return reply.rfind("data ", 0) == 0 ? Unhex(reply.substr(5)) : std::string();
}

std::size_t TPeerClient::Drain(int quietMs)
{
    const std::string reply = Order("drain " + std::to_string(quietMs));
    return reply.rfind("ok ", 0) == 0 ? std::strtoul(reply.c_str() + 3, nullptr, 10) : 0;
}

bool TPeerClient::Hangup()
{
    return Order("hangup") == "ok";
}
