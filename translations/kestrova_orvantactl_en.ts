<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pt_BR">
<context>
    <name>orvanta-ctl</name>
    <message>
        <source>notificação recusada: %1</source>
        <translation>notification refused: %1</translation>
    </message>
    <message>
        <source>procurando cintas por %1 s...</source>
        <translation>searching for straps for %1 s...</translation>
    </message>
    <message>
        <source>notificação %1</source>
        <translation>notification %1</translation>
    </message>
    <message>
        <source>procurando a cinta %1 (%2) por %3 s</source>
        <translation>searching for the strap %1 (%2) for %3 s</translation>
    </message>
    <message>
        <source>%1 leituras em %2 s, %3 notificações recusadas</source>
        <translation>%1 readings in %2 s, %3 notifications refused</translation>
    </message>
    <message>
        <source>Pasta dos protocolos do usuário: %1</source>
        <translation>User&apos;s protocol folder: %1</translation>
    </message>
    <message>
        <source>arquivo recusado: %1</source>
        <translation>file refused: %1</translation>
    </message>
    <message>
        <source>Fonte: %1</source>
        <translation>Source: %1</translation>
    </message>
    <message>
        <source>Duração total: %1</source>
        <translation>Total duration: %1</translation>
    </message>
    <message>
        <source>Fora da faixa da esteira: %1</source>
        <translation>Outside the treadmill&apos;s range: %1</translation>
    </message>
    <message>
        <source>ramp: as velocidades devem estar entre %1 e %2</source>
        <translation>ramp: the speeds must be between %1 and %2</translation>
    </message>
    <message>
        <source>fora da faixa da esteira: %1</source>
        <translation>outside the treadmill&apos;s range: %1</translation>
    </message>
    <message>
        <source>%1: %2 (Ctrl+C para parar)</source>
        <translation>%1: %2 (Ctrl+C to stop)</translation>
    </message>
    <message>
        <source>Teste %1 gravado em %2</source>
        <translation>Test %1 recorded in %2</translation>
    </message>
    <message>
        <source>comunicação perdida: parando a esteira</source>
        <translation>communication lost: stopping the treadmill</translation>
    </message>
    <message>
        <source>interrompido: parando a esteira</source>
        <translation>interrupted: stopping the treadmill</translation>
    </message>
    <message>
        <source>aviso: --time-scale %1 em um dispositivo real (%2): os estágios mudam %1 vezes mais depressa que o protocolo</source>
        <translation>warning: --time-scale %1 on a real device (%2): the stages change %1 times faster than the protocol</translation>
    </message>
    <message>
        <source>Relatório do teste %1: %2</source>
        <translation>Report of test %1: %2</translation>
    </message>
    <message>
        <source>gravação retomada</source>
        <translation>recording resumed</translation>
    </message>
    <message>
        <source>Servidor de sessões indisponível: gravando localmente (%1)</source>
        <translation>Session server unavailable: recording locally (%1)</translation>
    </message>
    <message>
        <source>servidor de sessões de volta</source>
        <translation>session server back</translation>
    </message>
</context>
</TS>
