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
    <message>
        <source>hr-decode precisa dos bytes da notificação em hex</source>
        <translation>hr-decode needs the notification&apos;s bytes in hex</translation>
    </message>
    <message>
        <source>%1: argumento inesperado &quot;%2&quot;</source>
        <translation>%1: unexpected argument &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1: --seconds recebe um número inteiro de 1 a 86400, não &quot;%2&quot;</source>
        <translation>%1: --seconds takes a whole number from 1 to 86400, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>nenhuma cinta encontrada em %1 s (vista a cinta para acordá-la e procure de novo)</source>
        <translation>no strap found in %1 s (put the strap on to wake it and search again)</translation>
    </message>
    <message>
        <source>(sem nome)</source>
        <translation>(no name)</translation>
    </message>
    <message>
        <source>nenhuma leitura da cinta %1 em %2 s</source>
        <translation>no reading from strap %1 in %2 s</translation>
    </message>
    <message>
        <source>hr precisa de --seconds N</source>
        <translation>hr needs --seconds N</translation>
    </message>
    <message>
        <source>hr: nenhuma cinta Bluetooth dada nem lembrada: --sensor ADDRESS (veja hr-scan), ou escolha a cinta no orvanta-teste</source>
        <translation>hr: no Bluetooth strap given nor remembered: --sensor ADDRESS (see hr-scan), or choose the strap in orvanta-teste</translation>
    </message>
    <message>
        <source>hr: não é um endereço Bluetooth: &quot;%1&quot; (AA:BB:CC:DD:EE:FF, veja hr-scan)</source>
        <translation>hr: not a Bluetooth address: &quot;%1&quot; (AA:BB:CC:DD:EE:FF, see hr-scan)</translation>
    </message>
    <message>
        <source>Comanda uma placa de esteira Orvanta Kestrova por uma porta serial.

Comandos:
  speed KMH                 ajusta a velocidade da esteira (0, ou de 1.5 a 18.0 km/h)
  incline PERCENT           ajusta a inclinação (de 0 a 25 %, em passos de 0.5)
  stop                      para a esteira (também o reset da janela)
  calibrate-speed COUNT     envia a contagem do temporizador interno do PWM (0 a 255)
  calibrate-incline COUNT   envia a contagem de pulsos do disco óptico (0 a 255)
  poll --speed KMH --incline PERCENT --period MS --ticks N
                            reenvia a velocidade e depois a inclinação a cada período,
                            como o envio periódico da janela, mostrando cada resultado;
                            os ticks perdidos enquanto uma troca espera viram um só; para
                            (status 1) quando o dispositivo se perde
  ports                     lista as portas seriais encontradas e os números de porta
                            mapeados para elas
  map N DEVICE              mapeia o número de porta N para DEVICE nas configurações
                            compartilhadas com a janela (um adaptador USB é gravado pelo
                            seu nome em /dev/serial/by-id); DEVICE - remove o mapeamento
  protocols                 lista os protocolos de teste de esforço embutidos e do usuário
  show NAME [--mph]         mostra as etapas de um protocolo, os valores que a placa
                            recebe e seus METs (ACSM)
  run NAME [--mph] [--max-speed KMH] [--max-grade PCT] [--recovery MIN] [--accept-clamp]
           [--time-scale X] [--csv FILE] [--hr-file FILE]
           [--database FILE --patient NAME --birth DD/MM/YYYY --sex F|M
            [--beta-blocker] [--resting-hr BPM] [--resting-bp SYS/DIA]]
                            executa um protocolo, mostrando cada evento com o tempo
                            decorrido; Ctrl+C para a esteira; uma conexão perdida também;
                            --hr-file reproduz um traçado de frequência cardíaca (CSV
                            tempo_s,fc[,rr_ms]) no relógio da execução, com a frequência
                            nas últimas colunas do CSV; --database grava a execução como
                            uma sessão do banco do orvanta-teste (frequência de repouso
                            30-250 bpm, pressão 50-300/20-200 mmHg)
  report --database FILE [--session ID] [--json] [--pdf FILE [--mph]]
                            os resultados clínicos de uma sessão gravada, como um objeto
                            JSON, ou o seu relatório impresso, em PDF; sem --session, a
                            última sessão
  hr-decode HEX...          decodifica uma notificação de cinta cardíaca (os bytes de
                            Heart Rate Measurement como um rastro os mostra): bpm,
                            contato, energia, intervalos RR em ms
  hr-scan [--seconds N]     lista as cintas cardíacas Bluetooth LE ouvidas em N s (10):
                            nome, endereço e sinal em dBm, a mais forte primeiro
  hr [--sensor ADDRESS] --seconds N [--trace]
                            mostra as leituras de uma cinta por N s (sem --sensor, a
                            cinta lembrada pelo orvanta-teste); --trace acrescenta os
                            bytes de cada notificação, como hr-decode os lê
  NAME pode ser um arquivo de protocolo (*.json), ou &quot;ramp&quot; com --start-speed KMH
  [--start-grade PCT] --peak-speed KMH --peak-grade PCT [--duration MIN] (8 a 12)

--mph: as velocidades digitadas (--max-speed, --start-speed, --peak-speed) e mostradas
estão em milhas por hora; uma velocidade digitada vai à placa em km/h, arredondada para o
0.1 km/h mais próximo. O CSV, o JSON e o banco continuam em km/h.

Os números aceitam &apos;.&apos; ou &apos;,&apos; como separador decimal. Status de saída: 0 sucesso, 1 a
placa falhou (o motivo, por exemplo &quot;Retornou NAK&quot;, na saída de erro), 2 erro de uso, 3 a
porta não pôde ser aberta, 130 uma execução parada por Ctrl+C. Uma execução sai com 0
quando a sua recuperação terminou e com 1 quando uma falha da placa a parou ou a sua
sessão não pôde ser iniciada. report sai com 1 para um arquivo que não existe, um que não
é um banco de sessões, uma sessão que não existe ou um PDF que não pôde ser gravado.

Exemplos:
  orvanta-sim --link /tmp/orvanta &amp;          # uma placa simulada
  orvanta-ctl --device /tmp/orvanta speed 5.3
  orvanta-ctl map 3 /dev/ttyUSB0              # a porta 3 é o adaptador USB daqui em diante
  orvanta-ctl --port 3 --trace stop          # porta 3 = $KESTROVA_COM3, o mapa, /dev/ttyS2
  orvanta-ctl --device /dev/ttyUSB0 calibrate-speed 106
  orvanta-ctl --device /tmp/orvanta poll --speed 6 --incline 2.5 --period 1000 --ticks 10
  orvanta-ctl --device /tmp/orvanta run bruce --time-scale 60
  orvanta-ctl --device /tmp/orvanta run bruce --database /tmp/testes.sqlite \
      --patient &quot;Ana Souza&quot; --birth 12/03/1971 --sex F --resting-hr 72 --resting-bp 124/78
  orvanta-ctl report --database /tmp/testes.sqlite --json
  orvanta-ctl report --database /tmp/testes.sqlite --session 3 --pdf /tmp/teste3.pdf
  orvanta-ctl hr-decode 16 48 02 03
  orvanta-ctl hr-scan
  orvanta-ctl hr --sensor A0:9E:1A:12:34:56 --seconds 30 --trace</source>
        <translation>Drives an Orvanta Kestrova treadmill board over a serial port.

Commands:
  speed KMH                 set the belt speed (0, or 1.5 to 18.0 km/h)
  incline PERCENT           set the incline (0 to 25 %, steps of 0.5)
  stop                      stop the belt (also the window&apos;s reset)
  calibrate-speed COUNT     send the PWM internal-timer count (0 to 255)
  calibrate-incline COUNT   send the optical-disk pulse count (0 to 255)
  poll --speed KMH --incline PERCENT --period MS --ticks N
                            re-send speed then incline every period, as the window&apos;s
                            polling does, printing each outcome; ticks missed while
                            an exchange waits fold into one; stops (status 1) when
                            the device is lost
  ports                     list the serial ports found and the port numbers mapped to them
  map N DEVICE              map port number N to DEVICE in the settings shared with the
                            window (a USB adapter is stored by its /dev/serial/by-id name);
                            DEVICE - removes the mapping
  protocols                 list the built-in and user exercise-test protocols
  show NAME [--mph]         print a protocol&apos;s steps, the values the board receives and
                            their METs (ACSM)
  run NAME [--mph] [--max-speed KMH] [--max-grade PCT] [--recovery MIN] [--accept-clamp]
           [--time-scale X] [--csv FILE] [--hr-file FILE]
           [--database FILE --patient NAME --birth DD/MM/YYYY --sex F|M
            [--beta-blocker] [--resting-hr BPM] [--resting-bp SYS/DIA]]
                            run a protocol, printing each event with the elapsed time;
                            Ctrl+C stops the belt; a lost link stops it too;
                            --hr-file replays a heart-rate trace (CSV tempo_s,fc[,rr_ms])
                            on the run&apos;s clock, its rate in the CSV&apos;s last columns;
                            --database records the run as a session of orvanta-teste&apos;s
                            database (resting rate 30-250 bpm, pressure 50-300/20-200 mmHg)
  report --database FILE [--session ID] [--json] [--pdf FILE [--mph]]
                            a recorded session&apos;s clinical results as one JSON object, or its
                            printed report as a PDF; the latest session without --session
  hr-decode HEX...          decode one heart-rate strap notification (Heart Rate
                            Measurement bytes as a trace prints them): bpm, contact,
                            energy, RR intervals in ms
  hr-scan [--seconds N]     list the Bluetooth LE heart-rate straps heard in N s (10):
                            name, address and signal in dBm, strongest first
  hr [--sensor ADDRESS] --seconds N [--trace]
                            print a strap&apos;s readings for N s (without --sensor, the
                            strap remembered by orvanta-teste); --trace adds every
                            notification&apos;s bytes, as hr-decode reads them
  NAME may be a protocol file (*.json), or &quot;ramp&quot; with --start-speed KMH
  [--start-grade PCT] --peak-speed KMH --peak-grade PCT [--duration MIN] (8 to 12)

--mph: the speeds typed (--max-speed, --start-speed, --peak-speed) and printed are in miles
per hour; a typed speed goes to the board as km/h rounded to the nearest 0.1 km/h. The CSV,
the JSON and the database stay in km/h.

Numbers take &apos;.&apos; or &apos;,&apos; as the decimal separator. Exit status: 0 success, 1 the board
failed (the reason, e.g. &quot;Retornou NAK&quot;, on standard error), 2 usage error, 3 the port
could not be opened, 130 a run stopped by Ctrl+C. A run exits with 0 when its recovery
ended and 1 when a board failure stopped it or its session could not be started. report
exits with 1 for a missing file, one that is not a session database, no such session or a
PDF that could not be written.

Examples:
  orvanta-sim --link /tmp/orvanta &amp;          # a simulated board
  orvanta-ctl --device /tmp/orvanta speed 5.3
  orvanta-ctl map 3 /dev/ttyUSB0              # port 3 is the USB adapter from now on
  orvanta-ctl --port 3 --trace stop          # port 3 = $KESTROVA_COM3, the map, /dev/ttyS2
  orvanta-ctl --device /dev/ttyUSB0 calibrate-speed 106
  orvanta-ctl --device /tmp/orvanta poll --speed 6 --incline 2.5 --period 1000 --ticks 10
  orvanta-ctl --device /tmp/orvanta run bruce --time-scale 60
  orvanta-ctl --device /tmp/orvanta run bruce --database /tmp/testes.sqlite \
      --patient &quot;Ana Souza&quot; --birth 12/03/1971 --sex F --resting-hr 72 --resting-bp 124/78
  orvanta-ctl report --database /tmp/testes.sqlite --json
  orvanta-ctl report --database /tmp/testes.sqlite --session 3 --pdf /tmp/teste3.pdf
  orvanta-ctl hr-decode 16 48 02 03
  orvanta-ctl hr-scan
  orvanta-ctl hr --sensor A0:9E:1A:12:34:56 --seconds 30 --trace</translation>
    </message>
    <message>
        <source>%1: não é um número: &quot;%2&quot;</source>
        <translation>%1: not a number: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1: não é um número inteiro: &quot;%2&quot;</source>
        <translation>%1: not an integer: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>poll: --period e --ticks devem ser pelo menos 1</source>
        <translation>poll: --period and --ticks must be at least 1</translation>
    </message>
    <message>
        <source>comunicação perdida (%1): envio periódico interrompido</source>
        <translation>device lost (%1): polling stopped</translation>
    </message>
    <message>
        <source>%1 recebe um argumento: %2</source>
        <translation>%1 takes one argument: %2</translation>
    </message>
    <message>
        <source>%1 não recebe argumentos</source>
        <translation>%1 takes no argument</translation>
    </message>
    <message>
        <source>%1: COUNT deve estar entre 0 e 255, não %2</source>
        <translation>%1: COUNT must be between 0 and 255, not %2</translation>
    </message>
    <message>
        <source>nenhum comando dado (veja --help)</source>
        <translation>no command given (see --help)</translation>
    </message>
    <message>
        <source>comando desconhecido: %1</source>
        <translation>unknown command: %1</translation>
    </message>
    <message>
        <source>%1 (porta %2 = %3: %4)</source>
        <translation>%1 (port %2 = %3: %4)</translation>
    </message>
    <message>
        <source>Número da porta N (1..8): $KESTROVA_COM&lt;N&gt;, senão o dispositivo mapeado para N, senão /dev/ttyS&lt;N-1&gt;.</source>
        <translation>Port number N (1..8): $KESTROVA_COM&lt;N&gt;, else the device mapped to N, else /dev/ttyS&lt;N-1&gt;.</translation>
    </message>
    <message>
        <source>Dispositivo serial a usar em vez de um número de porta.</source>
        <translation>Serial device to use instead of a port number.</translation>
    </message>
    <message>
        <source>Mostra na saída de erro os quadros enviados e os bytes recebidos.</source>
        <translation>Print the frames sent and the bytes received on standard error.</translation>
    </message>
    <message>
        <source>Tempo de espera da resposta de cada quadro de calibração.</source>
        <translation>Answer time-out of each calibration frame.</translation>
    </message>
    <message>
        <source>speed, incline, stop, calibrate-speed, calibrate-incline, poll, ports, map, protocols, show, run, report, hr-decode, hr-scan ou hr (veja acima).</source>
        <translation>speed, incline, stop, calibrate-speed, calibrate-incline, poll, ports, map, protocols, show, run, report, hr-decode, hr-scan or hr (see above).</translation>
    </message>
    <message>
        <source>--port e --calibration-timeout devem ser positivos</source>
        <translation>--port and --calibration-timeout must be positive</translation>
    </message>
    <message>
        <source>em uso</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>nenhuma porta serial encontrada</source>
        <translation>no serial ports found</translation>
    </message>
    <message>
        <source>    nome estável: %1</source>
        <translation>    stable name: %1</translation>
    </message>
    <message>
        <source>map recebe um número de porta a partir de 1 e um dispositivo (ou - para remover)</source>
        <translation>map takes a port number from 1 and a device (or - to remove)</translation>
    </message>
    <message>
        <source>aviso: %1 não existe (ainda)</source>
        <translation>warning: %1 does not exist (yet)</translation>
    </message>
    <message>
        <source>não foi possível gravar as configurações</source>
        <translation>cannot write the settings</translation>
    </message>
    <message>
        <source>COM%1 = %2 (antes %3)</source>
        <translation>COM%1 = %2 (was %3)</translation>
    </message>
    <message>
        <source>aviso: KESTROVA_COM%1 está definida e prevalece sobre este mapeamento</source>
        <translation>warning: KESTROVA_COM%1 is set and overrides this mapping</translation>
    </message>
    <message>
        <source>--%1: não é um número: &quot;%2&quot;</source>
        <translation>--%1: not a number: &quot;%2&quot;</translation>
    </message>
    <message>
        <source>ramp precisa de --start-speed, --peak-speed e --peak-grade (e aceita --start-grade, --duration)</source>
        <translation>ramp needs --start-speed, --peak-speed and --peak-grade (and takes --start-grade, --duration)</translation>
    </message>
    <message>
        <source>protocolo desconhecido: %1 (veja orvanta-ctl protocols)</source>
        <translation>unknown protocol: %1 (see orvanta-ctl protocols)</translation>
    </message>
    <message>
        <source>%1 recebe um nome de protocolo (veja orvanta-ctl protocols)</source>
        <translation>%1 takes one protocol name (see orvanta-ctl protocols)</translation>
    </message>
    <message>
        <source>--max-speed deve ser pelo menos %1 (a menor velocidade da esteira em movimento)</source>
        <translation>--max-speed must be at least %1 (the belt&apos;s lowest moving speed)</translation>
    </message>
    <message>
        <source>--max-grade deve ser pelo menos 0</source>
        <translation>--max-grade must be at least 0</translation>
    </message>
    <message>
        <source>--recovery deve ser de 0 a 60 minutos</source>
        <translation>--recovery must be 0 to 60 minutes</translation>
    </message>
    <message>
        <source>--time-scale deve ser maior que 0 e no máximo 10000</source>
        <translation>--time-scale must be above 0 and at most 10000</translation>
    </message>
    <message>
        <source>o protocolo passa da faixa da placa: execute-o com --accept-clamp para limitar esses valores</source>
        <translation>the protocol exceeds the board&apos;s range: run it with --accept-clamp to clamp these values</translation>
    </message>
    <message>
        <source>--birth: não é uma data (DD/MM/AAAA): &quot;%1&quot;</source>
        <translation>--birth: not a date (DD/MM/YYYY): &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--birth: %1 está no futuro</source>
        <translation>--birth: %1 is in the future</translation>
    </message>
    <message>
        <source>--resting-hr deve ser um número inteiro de bpm de %1 a %2, não &quot;%3&quot;</source>
        <translation>--resting-hr must be a whole number of bpm from %1 to %2, not &quot;%3&quot;</translation>
    </message>
    <message>
        <source>--resting-bp deve ser SIS/DIA em mmHg, sistólica de %1 a %2, diastólica de %3 a %4 e abaixo dela, não &quot;%5&quot;</source>
        <translation>--resting-bp must be SYS/DIA in mmHg, systolic %1 to %2, diastolic %3 to %4 and below it, not &quot;%5&quot;</translation>
    </message>
    <message>
        <source>--%1 precisa de --database</source>
        <translation>--%1 needs --database</translation>
    </message>
    <message>
        <source>--database precisa de --patient NAME, --birth DD/MM/YYYY e --sex F|M</source>
        <translation>--database needs --patient NAME, --birth DD/MM/YYYY and --sex F|M</translation>
    </message>
    <message>
        <source>--sex deve ser F ou M, não &quot;%1&quot;</source>
        <translation>--sex must be F or M, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>report precisa de --database FILE|URL</source>
        <translation>report needs --database FILE|URL</translation>
    </message>
    <message>
        <source>report precisa de --json ou --pdf FILE</source>
        <translation>report needs --json or --pdf FILE</translation>
    </message>
    <message>
        <source>--session: não é um número de sessão: &quot;%1&quot;</source>
        <translation>--session: not a session number: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1: arquivo não encontrado</source>
        <translation>%1: file not found</translation>
    </message>
    <message>
        <source>%1: não é um banco de sessões</source>
        <translation>%1: not a session database</translation>
    </message>
    <message>
        <source>sessão %1 não encontrada em %2</source>
        <translation>session %1 not found in %2</translation>
    </message>
    <message>
        <source>nenhuma sessão em %1</source>
        <translation>no session in %1</translation>
    </message>
    <message>
        <source>--pdf: o relatório precisa de uma QApplication</source>
        <translation>--pdf: the report needs a QApplication</translation>
    </message>
    <message>
        <source>%1: não foi possível gravar o relatório: %2</source>
        <translation>%1: could not write the report: %2</translation>
    </message>
</context>
</TS>
