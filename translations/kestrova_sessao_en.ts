<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pt_BR">
<context>
    <name>MotivoErro</name>
    <message>
        <source>a transação não foi confirmada</source>
        <translation>the transaction was not committed</translation>
    </message>
</context>
<context>
    <name>TArquivoProtocolo</name>
    <message>
        <source>%1: não é um objeto</source>
        <translation>%1: not an object</translation>
    </message>
    <message>
        <source>%1: &quot;tipo&quot; deve ser &quot;estagio&quot; ou &quot;rampa&quot;</source>
        <translation>%1: &quot;tipo&quot; must be &quot;estagio&quot; or &quot;rampa&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deve ser uma lista de passos</source>
        <translation>&quot;%1&quot; must be a list of steps</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deve ser um texto</source>
        <translation>&quot;%1&quot; must be a text</translation>
    </message>
    <message>
        <source>&quot;formato&quot; deve ser &quot;%1&quot;</source>
        <translation>&quot;formato&quot; must be &quot;%1&quot;</translation>
    </message>
    <message>
        <source>versão %1 desconhecida (esta versão lê a %2)</source>
        <translation>unknown version %1 (this version reads %2)</translation>
    </message>
    <message>
        <source>ausente</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>JSON inválido na posição %1: %2</source>
        <translation>invalid JSON at position %1: %2</translation>
    </message>
    <message>
        <source>o arquivo deve conter um objeto JSON</source>
        <translation>the file must contain a JSON object</translation>
    </message>
</context>
<context>
    <name>TBancoSessoes</name>
    <message>
        <source>%1: %3
Servidor: %2</source>
        <translation>%1: %3
Server: %2</translation>
    </message>
    <message>
        <source>%1: %3
Arquivo: %2</source>
        <translation>%1: %3
File: %2</translation>
    </message>
    <message>
        <source>Endereço do banco de sessões inválido: %1
Endereço: %2</source>
        <translation>Invalid session database address: %1
Address: %2</translation>
    </message>
    <message>
        <source>Não foi possível abrir o banco de sessões</source>
        <translation>Could not open the session database</translation>
    </message>
    <message>
        <source>A estação &quot;%1&quot; já está em uso por outro programa</source>
        <translation>Station &quot;%1&quot; is already in use by another program</translation>
    </message>
    <message>
        <source>feche o outro programa desta estação ou dê outro nome a esta estação</source>
        <translation>close the other program of this station or give this station another name</translation>
    </message>
    <message>
        <source>Não foi possível criar a pasta do banco de sessões</source>
        <translation>Could not create the session database folder</translation>
    </message>
    <message>
        <source>sem permissão de escrita</source>
        <translation>no write permission</translation>
    </message>
    <message>
        <source>O banco de sessões está em uso por outro programa</source>
        <translation>The session database is in use by another program</translation>
    </message>
    <message>
        <source>Não foi possível gravar na pasta do banco de sessões</source>
        <translation>Could not write to the session database folder</translation>
    </message>
    <message>
        <source>feche a outra janela de Teste de esforço que o usa</source>
        <translation>close the other Exercise test window that uses it</translation>
    </message>
    <message>
        <source>Não foi possível gravar no banco de sessões</source>
        <translation>Could not write to the session database</translation>
    </message>
    <message>
        <source>o registro de escrita (WAL) não pôde ser ativado</source>
        <translation>the write-ahead log (WAL) could not be enabled</translation>
    </message>
    <message>
        <source>Não foi possível ler o banco de sessões</source>
        <translation>Could not read the session database</translation>
    </message>
    <message>
        <source>O arquivo não é um banco de sessões válido</source>
        <translation>The file is not a valid session database</translation>
    </message>
    <message>
        <source>O banco de sessões é de uma versão mais nova do programa</source>
        <translation>The session database is from a newer version of the program</translation>
    </message>
    <message>
        <source>esquema %1, este programa conhece até o %2; atualize o programa ou escolha outro banco de sessões</source>
        <translation>schema %1, this program knows up to %2; update the program or choose another session database</translation>
    </message>
    <message>
        <source>Não foi possível atualizar o banco de sessões</source>
        <translation>Could not upgrade the session database</translation>
    </message>
    <message>
        <source>a transação não pôde ser iniciada</source>
        <translation>the transaction could not be started</translation>
    </message>
    <message>
        <source>Não foi possível recuperar os registros pendentes em %1</source>
        <translation>Could not recover the pending records in %1</translation>
    </message>
    <message>
        <source>Não foi possível incluir no banco os registros pendentes</source>
        <translation>Could not add the pending records to the database</translation>
    </message>
    <message>
        <source>Não foi possível enviar ao servidor os registros da fila local %1</source>
        <translation>Could not send the records of the local queue %1 to the server</translation>
    </message>
    <message>
        <source>%1 registro(s) de teste que não tinham sido gravados no banco foram recuperados de %2.</source>
        <translation>%1 test record(s) that had not been written to the database were recovered from %2.</translation>
    </message>
    <message>
        <source> %1 linha(s) do arquivo estavam corrompidas ou eram de testes que não estão neste banco e não foram incluídas; foram guardadas em %2.</source>
        <translation> %1 line(s) of the file were corrupt or belonged to tests not in this database and were not added; they were kept in %2.</translation>
    </message>
    <message>
        <source> O arquivo não pôde ser removido: remova-o antes de abrir o programa de novo, ou os registros serão incluídos outra vez.</source>
        <translation> The file could not be removed: remove it before opening the program again, or the records will be added again.</translation>
    </message>
    <message>
        <source>Programa interrompido durante o teste</source>
        <translation>Program interrupted during the test</translation>
    </message>
    <message>
        <source>Espaço em disco insuficiente para gravar o teste</source>
        <translation>Not enough disk space to record the test</translation>
    </message>
    <message>
        <source>%1 MB livres, são necessários %2 MB</source>
        <translation>%1 MB free, %2 MB needed</translation>
    </message>
    <message>
        <source>Não foi possível gravar o paciente</source>
        <translation>Could not save the patient</translation>
    </message>
    <message>
        <source>Não foi possível atualizar o paciente</source>
        <translation>Could not update the patient</translation>
    </message>
    <message>
        <source>o paciente nº %1 não está neste banco</source>
        <translation>patient no. %1 is not in this database</translation>
    </message>
    <message>
        <source>Não foi possível gravar o início do teste</source>
        <translation>Could not record the start of the test</translation>
    </message>
    <message>
        <source>Não foi possível gravar o fim do teste</source>
        <translation>Could not record the end of the test</translation>
    </message>
    <message>
        <source>Não foi possível gravar os comentários</source>
        <translation>Could not save the comments</translation>
    </message>
    <message>
        <source>Não foi possível gravar os dados clínicos do teste</source>
        <translation>Could not save the clinical data of the test</translation>
    </message>
    <message>
        <source>a sessão nº %1 não está neste banco</source>
        <translation>session no. %1 is not in this database</translation>
    </message>
    <message>
        <source>Não foi possível gravar a tabela de estágios</source>
        <translation>Could not save the stage table</translation>
    </message>
    <message>
        <source>Concluído</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>Parado pelo operador</source>
        <translation>Stopped by the operator</translation>
    </message>
    <message>
        <source>Interrompido</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>Parada não confirmada pela esteira</source>
        <translation>Stop not confirmed by the treadmill</translation>
    </message>
    <message>
        <source>Em andamento</source>
        <translation>In progress</translation>
    </message>
</context>
<context>
    <name>TBibliotecaProtocolos</name>
    <message>
        <source>%1: o nome &quot;%2&quot; é de um protocolo embutido</source>
        <translation>%1: the name &quot;%2&quot; belongs to a built-in protocol</translation>
    </message>
    <message>
        <source>%1: não foi possível ler (%2)</source>
        <translation>%1: could not be read (%2)</translation>
    </message>
    <message>
        <source>o nome &quot;%1&quot; é de um protocolo embutido</source>
        <translation>the name &quot;%1&quot; belongs to a built-in protocol</translation>
    </message>
    <message>
        <source>não foi possível criar a pasta %1</source>
        <translation>could not create the folder %1</translation>
    </message>
    <message>
        <source>não foi possível gravar %1 (%2)</source>
        <translation>could not write %1 (%2)</translation>
    </message>
    <message>
        <source>não foi possível excluir %1 (%2)</source>
        <translation>could not delete %1 (%2)</translation>
    </message>
    <message>
        <source>protocolo embutido</source>
        <translation>built-in protocol</translation>
    </message>
</context>
<context>
    <name>TConexaoBanco</name>
    <message>
        <source>o suporte a PostgreSQL não está instalado (pacote libqt6sql6-psql)</source>
        <translation>PostgreSQL support is not installed (package libqt6sql6-psql)</translation>
    </message>
    <message>
        <source>o suporte a SQLite não está instalado</source>
        <translation>SQLite support is not installed</translation>
    </message>
    <message>
        <source>autenticação recusada: confira o usuário e a senha em ~/.pgpass ou PGPASSWORD</source>
        <translation>authentication refused: check the user and password in ~/.pgpass or PGPASSWORD</translation>
    </message>
    <message>
        <source>o banco de dados não existe no servidor</source>
        <translation>the database does not exist on the server</translation>
    </message>
    <message>
        <source>permissão negada a este usuário</source>
        <translation>permission denied to this user</translation>
    </message>
    <message>
        <source>servidor inacessível</source>
        <translation>server unreachable</translation>
    </message>
</context>
<context>
    <name>TEditorProtocolo</name>
    <message>
        <source>Alterar %1, passo %2</source>
        <translation>Change %1, step %2</translation>
    </message>
    <message>
        <source>Tipo do passo %1</source>
        <translation>Type of step %1</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Descrição</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Fonte</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Novo passo</source>
        <translation>New step</translation>
    </message>
    <message>
        <source>Remover passo %1</source>
        <translation>Remove step %1</translation>
    </message>
    <message>
        <source>Mover passo %1</source>
        <translation>Move step %1</translation>
    </message>
    <message>
        <source>Copiar passo %1</source>
        <translation>Copy step %1</translation>
    </message>
    <message>
        <source>Estágio %1</source>
        <translation>Stage %1</translation>
    </message>
    <message>
        <source>um protocolo embutido não pode ser alterado; use Duplicar</source>
        <translation>a built-in protocol cannot be changed; use Duplicate</translation>
    </message>
    <message>
        <source>não foi possível criar a pasta %1</source>
        <translation>could not create the folder %1</translation>
    </message>
    <message>
        <source>Recuperar edição não salva</source>
        <translation>Recover unsaved edit</translation>
    </message>
</context>
<context>
    <name>TEixoTempo</name>
    <message>
        <source>Tempo (min)</source>
        <translation>Time (min)</translation>
    </message>
</context>
<context>
    <name>TEnderecoBanco</name>
    <message>
        <source>informe um arquivo ou um endereço postgresql://</source>
        <translation>give a file or a postgresql:// address</translation>
    </message>
    <message>
        <source>endereço do servidor inválido: %1</source>
        <translation>invalid server address: %1</translation>
    </message>
    <message>
        <source>a senha não pode ir no endereço do banco: guarde-a no arquivo ~/.pgpass ou na variável PGPASSWORD</source>
        <translation>the password cannot go in the database address: keep it in the file ~/.pgpass or in the variable PGPASSWORD</translation>
    </message>
    <message>
        <source>parâmetro desconhecido no endereço do banco: %1</source>
        <translation>unknown parameter in the database address: %1</translation>
    </message>
    <message>
        <source>porta inválida no endereço do banco</source>
        <translation>invalid port in the database address</translation>
    </message>
    <message>
        <source>falta o nome do banco no endereço: postgresql://usuário@servidor:porta/banco</source>
        <translation>the database name is missing from the address: postgresql://user@server:port/database</translation>
    </message>
</context>
<context>
    <name>TEstadoExecucao</name>
    <message>
        <source>Pronto</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Contagem regressiva</source>
        <translation>Countdown</translation>
    </message>
    <message>
        <source>Aquecimento</source>
        <translation>Warm-up</translation>
    </message>
    <message>
        <source>Exercício</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Recuperação</source>
        <translation>Recovery</translation>
    </message>
    <message>
        <source>Pausado</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>Comunicação perdida</source>
        <translation>Communication lost</translation>
    </message>
    <message>
        <source>Parado</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>Concluído</source>
        <translation>Completed</translation>
    </message>
</context>
<context>
    <name>TExportadorCsv</name>
    <message>
        <source>Não foi possível gravar %1: %2</source>
        <translation>Could not write %1: %2</translation>
    </message>
</context>
<context>
    <name>TFaixaEsteira</name>
    <message>
        <source>%1: velocidade %2 %3 abaixo de %4 %3 (sobe para %4)</source>
        <translation>%1: speed %2 %3 below %4 %3 (raised to %4)</translation>
    </message>
    <message>
        <source>%1: velocidade %2 %3 acima de %4 %3 (limitada a %4)</source>
        <translation>%1: speed %2 %3 above %4 %3 (limited to %4)</translation>
    </message>
    <message>
        <source>%1: inclinação %2 % acima de 25 % (limitada a 25)</source>
        <translation>%1: grade %2 % above 25 % (limited to 25)</translation>
    </message>
    <message>
        <source>%1: rampa passa por velocidades abaixo de %2 %3 (sobem para %2)</source>
        <translation>%1: ramp goes through speeds below %2 %3 (raised to %2)</translation>
    </message>
    <message>
        <source>Estágio %1</source>
        <translation>Stage %1</translation>
    </message>
</context>
<context>
    <name>TFase</name>
    <message>
        <source>Aquecimento</source>
        <translation>Warm-up</translation>
    </message>
    <message>
        <source>Exercício</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Recuperação</source>
        <translation>Recovery</translation>
    </message>
</context>
<context>
    <name>TFilaLocal</name>
    <message>
        <source>Não foi possível abrir a fila local de registros: %1
Arquivo: %2</source>
        <translation>Could not open the local record queue: %1
File: %2</translation>
    </message>
    <message>
        <source>sem permissão de escrita na pasta</source>
        <translation>no write permission in the folder</translation>
    </message>
    <message>
        <source>a fila local não está aberta</source>
        <translation>the local queue is not open</translation>
    </message>
    <message>
        <source>a transação não pôde ser iniciada</source>
        <translation>the transaction could not be started</translation>
    </message>
</context>
<context>
    <name>TGeradorRampa</name>
    <message>
        <source>valor inválido</source>
        <translation>invalid value</translation>
    </message>
    <message>
        <source>a duração da rampa deve ser de 8 a 12 minutos</source>
        <translation>the ramp must last 8 to 12 minutes</translation>
    </message>
    <message>
        <source>as velocidades devem estar entre 1.5 e 18.0 km/h</source>
        <translation>speeds must be between 1.5 and 18.0 km/h</translation>
    </message>
    <message>
        <source>as inclinações devem estar entre 0 e 25 %</source>
        <translation>grades must be between 0 and 25 %</translation>
    </message>
    <message>
        <source>o pico não pode ser menor que o início</source>
        <translation>the peak cannot be lower than the start</translation>
    </message>
    <message>
        <source>o pico deve ser maior que o início</source>
        <translation>the peak must be higher than the start</translation>
    </message>
</context>
<context>
    <name>TGraficoCardiaco</name>
    <message>
        <source>FC medida</source>
        <translation>Measured HR</translation>
    </message>
    <message>
        <source>FC anotada</source>
        <translation>Recorded HR</translation>
    </message>
    <message>
        <source>PA sistólica</source>
        <translation>Systolic BP</translation>
    </message>
    <message>
        <source>PA diastólica</source>
        <translation>Diastolic BP</translation>
    </message>
    <message>
        <source>FC alvo</source>
        <translation>Target HR</translation>
    </message>
    <message>
        <source>Frequência cardíaca e pressão arterial</source>
        <translation>Heart rate and blood pressure</translation>
    </message>
    <message>
        <source>FC (bpm)</source>
        <translation>HR (bpm)</translation>
    </message>
    <message>
        <source>PA (mmHg)</source>
        <translation>BP (mmHg)</translation>
    </message>
</context>
<context>
    <name>TGraficoSessao</name>
    <message>
        <source>Velocidade (%1)</source>
        <translation>Speed (%1)</translation>
    </message>
    <message>
        <source>Inclinação (%)</source>
        <translation>Grade (%)</translation>
    </message>
    <message>
        <source>Velocidade e inclinação</source>
        <translation>Speed and grade</translation>
    </message>
</context>
<context>
    <name>TGravadorSessao</name>
    <message>
        <source>Servidor de sessões indisponível: %1 registro(s) do teste ficaram guardados em %2 e serão enviados ao servidor quando ele responder (no próximo teste ou na próxima vez que o programa abrir).</source>
        <translation>Session server unavailable: %1 record(s) of the test were kept in %2 and will be sent to the server when it answers (at the next test or the next time the program opens).</translation>
    </message>
    <message>
        <source>Falha ao gravar no banco de sessões: %1</source>
        <translation>Failed to write to the session database: %1</translation>
    </message>
    <message>
        <source>Falha ao gravar no banco de sessões: %1. %2 registro(s) do teste foram guardados em %3 e serão incluídos no banco na próxima vez que o programa o abrir.</source>
        <translation>Failed to write to the session database: %1. %2 record(s) of the test were kept in %3 and will be added to the database the next time the program opens it.</translation>
    </message>
    <message>
        <source>Falha ao gravar no banco de sessões: %1. %2 registro(s) do teste foram perdidos: também não foi possível guardá-los em %3 (%4).</source>
        <translation>Failed to write to the session database: %1. %2 record(s) of the test were lost: they could not be kept in %3 either (%4).</translation>
    </message>
    <message>
        <source>o arquivo do banco não pôde ser aberto</source>
        <translation>the database file could not be opened</translation>
    </message>
    <message>
        <source>a transação não pôde ser iniciada</source>
        <translation>the transaction could not be started</translation>
    </message>
</context>
<context>
    <name>TMaquinaExecucao</name>
    <message>
        <source>Nenhum protocolo com fase de exercício foi escolhido.</source>
        <translation>No protocol with an exercise phase was chosen.</translation>
    </message>
    <message>
        <source>A velocidade máxima do teste (%1 km/h) está abaixo da menor velocidade da esteira em movimento (1.5 km/h).</source>
        <translation>The test&apos;s maximum speed (%1 km/h) is below the treadmill&apos;s lowest moving speed (1.5 km/h).</translation>
    </message>
    <message>
        <source>O protocolo excede a faixa da esteira e só é executado com a limitação aceita: </source>
        <translation>The protocol exceeds the treadmill&apos;s range and runs only with the limitation accepted: </translation>
    </message>
    <message>
        <source>Operador: iniciar</source>
        <translation>Operator: start</translation>
    </message>
    <message>
        <source>Operador: cancelar contagem (o teste já começou: parando a esteira)</source>
        <translation>Operator: cancel countdown (the test had begun: stopping the belt)</translation>
    </message>
    <message>
        <source>Operador: cancelar contagem</source>
        <translation>Operator: cancel countdown</translation>
    </message>
    <message>
        <source>Operador: pausar</source>
        <translation>Operator: pause</translation>
    </message>
    <message>
        <source>Operador: retomar</source>
        <translation>Operator: resume</translation>
    </message>
    <message>
        <source>Operador: próximo estágio</source>
        <translation>Operator: next stage</translation>
    </message>
    <message>
        <source>Operador: ir para a recuperação</source>
        <translation>Operator: go to recovery</translation>
    </message>
    <message>
        <source>Operador: velocidade manual %1 km/h</source>
        <translation>Operator: manual speed %1 km/h</translation>
    </message>
    <message>
        <source>Operador: inclinação manual %1 %</source>
        <translation>Operator: manual incline %1 %</translation>
    </message>
    <message>
        <source>Operador: parar</source>
        <translation>Operator: stop</translation>
    </message>
    <message>
        <source>Janela sem resposta: protocolo em espera</source>
        <translation>Window not responding: protocol on hold</translation>
    </message>
    <message>
        <source>A porta serial perdeu o dispositivo durante a contagem: contagem cancelada, nada foi enviado à esteira.</source>
        <translation>The serial port lost the device during the countdown: countdown cancelled, nothing was sent to the belt.</translation>
    </message>
    <message>
        <source>A porta serial perdeu o dispositivo (cabo desconectado?).</source>
        <translation>The serial port lost the device (cable unplugged?).</translation>
    </message>
    <message>
        <source>Porta reaberta: nada foi enviado à esteira; pressione Retomar para continuar ou PARAR.</source>
        <translation>Port reopened: nothing was sent to the belt; press Resume to go on, or STOP.</translation>
    </message>
    <message>
        <source>Nenhuma resposta da esteira há 2 s.</source>
        <translation>No answer from the treadmill for 2 s.</translation>
    </message>
    <message>
        <source>Falha ao enviar a velocidade: %1</source>
        <translation>Sending the speed failed: %1</translation>
    </message>
    <message>
        <source>Falha ao enviar a inclinação: %1</source>
        <translation>Sending the incline failed: %1</translation>
    </message>
    <message>
        <source>Falha ao parar a esteira (teste anterior): %1</source>
        <translation>Stopping the belt failed (previous test): %1</translation>
    </message>
    <message>
        <source>Falha ao parar a esteira: %1 (nova tentativa a cada período)</source>
        <translation>Stopping the belt failed: %1 (retried every period)</translation>
    </message>
    <message>
        <source>Parada confirmada pela esteira.</source>
        <translation>Stop confirmed by the treadmill.</translation>
    </message>
    <message>
        <source>Fim do protocolo: parando a esteira</source>
        <translation>End of the protocol: stopping the belt</translation>
    </message>
    <message>
        <source>Estágio %1 (%2): %3 (protocolo: %4)</source>
        <translation>Stage %1 (%2): %3 (protocol: %4)</translation>
    </message>
    <message>
        <source>Estágio %1 (%2): %3</source>
        <translation>Stage %1 (%2): %3</translation>
    </message>
    <message>
        <source>Alvo: %1</source>
        <translation>Target: %1</translation>
    </message>
    <message>
        <source>Velocidade limitada a %1 km/h (protocolo: %2 km/h)</source>
        <translation>Speed limited to %1 km/h (protocol: %2 km/h)</translation>
    </message>
    <message>
        <source>Inclinação limitada a %1 % (protocolo: %2 %)</source>
        <translation>Incline limited to %1 % (protocol: %2 %)</translation>
    </message>
    <message>
        <source>Comunicação restabelecida: pressione Retomar para continuar.</source>
        <translation>Communication restored: press Resume to go on.</translation>
    </message>
    <message>
        <source>Comunicação perdida: protocolo em espera. Verifique o cabo e pressione Retomar quando a esteira responder.</source>
        <translation>Communication lost: protocol on hold. Check the cable and press Resume when the treadmill answers.</translation>
    </message>
</context>
<context>
    <name>TPreviaProtocolo</name>
    <message>
        <source>Estágio %1</source>
        <translation>Stage %1</translation>
    </message>
</context>
<context>
    <name>TRegrasProtocolo</name>
    <message>
        <source>%1: &quot;%2&quot; ausente</source>
        <translation>%1: &quot;%2&quot; missing</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; não é um número</source>
        <translation>%1: &quot;%2&quot; is not a number</translation>
    </message>
    <message>
        <source>%1: &quot;duracao_s&quot; = %2 deve ser maior que 0 e até 86400</source>
        <translation>%1: &quot;duracao_s&quot; = %2 must be greater than 0 and at most 86400</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; = %3 fora da faixa da esteira (0 a %4)</source>
        <translation>%1: &quot;%2&quot; = %3 outside the treadmill&apos;s range (0 to %4)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; = %3 km/h fora da faixa da esteira (0 a %4)</source>
        <translation>%1: &quot;%2&quot; = %3 km/h outside the treadmill&apos;s range (0 to %4)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; = %3 % fora da faixa da esteira (0 a %4)</source>
        <translation>%1: &quot;%2&quot; = %3 % outside the treadmill&apos;s range (0 to %4)</translation>
    </message>
    <message>
        <source>&quot;nome&quot; ausente ou vazio</source>
        <translation>&quot;nome&quot; missing or empty</translation>
    </message>
    <message>
        <source>a fase &quot;exercicio&quot; está vazia</source>
        <translation>the &quot;exercicio&quot; phase is empty</translation>
    </message>
    <message>
        <source>o nome do arquivo está vazio</source>
        <translation>the file name is empty</translation>
    </message>
    <message>
        <source>o nome &quot;%1&quot; é de um protocolo embutido</source>
        <translation>the name &quot;%1&quot; belongs to a built-in protocol</translation>
    </message>
</context>
<context>
    <name>TRelatorioSessao</name>
    <message>
        <source>Relatório de teste de esforço</source>
        <translation>Exercise test report</translation>
    </message>
    <message>
        <source> (1 ano)</source>
        <translation> (1 year)</translation>
    </message>
    <message>
        <source> (%1 anos)</source>
        <translation> (%1 years)</translation>
    </message>
    <message>
        <source>Usa betabloqueador</source>
        <translation>Takes beta blocker</translation>
    </message>
    <message>
        <source>Protocolo: %1</source>
        <translation>Protocol: %1</translation>
    </message>
    <message>
        <source>Data: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>dd/MM/yyyy HH:mm</source>
        <comment>date and time format</comment>
        <translation>MM/dd/yyyy HH:mm</translation>
    </message>
    <message>
        <source>Limites: %1 %2, %3 %   Recuperação: %4 min a %5 %2, %6 %</source>
        <translation>Limits: %1 %2, %3 %   Recovery: %4 min at %5 %2, %6 %</translation>
    </message>
    <message>
        <source>Duração: %1   Situação: %2</source>
        <translation>Duration: %1   Status: %2</translation>
    </message>
    <message>
        <source>Estágio</source>
        <translation>Stage</translation>
    </message>
    <message>
        <source>Fase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Início</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Fim</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Velocidade</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Inclinação</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>METs</source>
        <translation>METs</translation>
    </message>
    <message>
        <source>FC</source>
        <translation>HR</translation>
    </message>
    <message>
        <source>PA</source>
        <translation>BP</translation>
    </message>
    <message>
        <source>DP</source>
        <translation>RPP</translation>
    </message>
    <message>
        <source>Borg</source>
        <translation>Borg</translation>
    </message>
    <message>
        <source>Obs.</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source> (protocolo %1)</source>
        <translation> (protocol %1)</translation>
    </message>
    <message>
        <source>pulado</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>espera</source>
        <translation>held</translation>
    </message>
    <message>
        <source>%1 bpm</source>
        <translation>%1 bpm</translation>
    </message>
    <message>
        <source>%1/%2 mmHg</source>
        <translation>%1/%2 mmHg</translation>
    </message>
    <message>
        <source>pulado: deixado pelo operador antes do fim previsto; espera: pausa ou perda de comunicação durante o estágio</source>
        <translation>skipped: left by the operator before its planned end; held: pause or loss of communication during the stage</translation>
    </message>
    <message>
        <source>Picos: %1, %2 %, exercício %3</source>
        <translation>Peaks: %1, %2 %, exercise %3</translation>
    </message>
    <message>
        <source>, FC %1 bpm</source>
        <translation>, HR %1 bpm</translation>
    </message>
    <message>
        <source>, PA %1/%2 mmHg</source>
        <translation>, BP %1/%2 mmHg</translation>
    </message>
    <message>
        <source>, Borg %1</source>
        <translation>, Borg %1</translation>
    </message>
    <message>
        <source>Motivo da interrupção: %1</source>
        <translation>Reason for stopping: %1</translation>
    </message>
    <message>
        <source>nenhum</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Avisos durante o teste: </source>
        <translation>Warnings during the test: </translation>
    </message>
    <message>
        <source>Resultados</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>Comentários:</source>
        <translation>Comments:</translation>
    </message>
    <message>
        <source>Conclusão:</source>
        <translation>Conclusion:</translation>
    </message>
    <message>
        <source>Assinatura e carimbo do médico responsável</source>
        <translation>Signature and stamp of the physician in charge</translation>
    </message>
    <message>
        <source>Nome</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Identificação</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Nascimento</source>
        <translation>Birth date</translation>
    </message>
    <message>
        <source>Sexo</source>
        <translation>Sex</translation>
    </message>
    <message>
        <source>Peso (kg)</source>
        <translation>Weight (kg)</translation>
    </message>
    <message>
        <source>Altura (cm)</source>
        <translation>Height (cm)</translation>
    </message>
    <message>
        <source>Médico solicitante</source>
        <translation>Referring physician</translation>
    </message>
    <message>
        <source>Observações</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Teste de esforço %1</source>
        <translation>Exercise test %1</translation>
    </message>
</context>
<context>
    <name>TResumoSessao</name>
    <message>
        <source>Aquecimento</source>
        <translation>Warm-up</translation>
    </message>
    <message>
        <source>Exercício</source>
        <translation>Exercise</translation>
    </message>
    <message>
        <source>Recuperação</source>
        <translation>Recovery</translation>
    </message>
</context>
</TS>
